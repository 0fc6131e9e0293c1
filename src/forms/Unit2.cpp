#include "Unit2.h"

#include "Ansi.h"

namespace sveltor {

TForm2* Form2 = nullptr;

TForm2::TForm2(QWidget* owner) : TForm(owner) {
    setupUi(this);
    setObjectName(QStringLiteral("Form2"));
    SetStayOnTop(true);
    SetBorderStyle(bsDialog);
    Position = poDesigned;
    move(195, 109);
    OKButton->SetKind(TBitBtn::bkOK);
    CancelButton->SetKind(TBitBtn::bkCancel);
    // The radio buttons show fixed examples of the two rules in a fixed-pitch font.
    RadioButton1->setFont(FixedSysFont());
    RadioButton2->setFont(FixedSysFont());
    RadioButton1->setStyleSheet(QStringLiteral("color: black"));
    RadioButton2->setStyleSheet(QStringLiteral("color: black"));
    Loaded();
    // Connected after the designed states are set, so construction runs no handler.
    CheckBox1->OnClick = [this](QObject* s) { CheckBox1Click(s); };
    RadioButton1->OnClick = [this](QObject* s) { RadioButton1Click(s); };
    RadioButton2->OnClick = [this](QObject* s) { RadioButton2Click(s); };
}

void TForm2::SetupBackupNames(TSplitPath& parts) {
    Panel1->SetCaption(FromAnsi(TBackupNames::SetupBackupNames(parts)));
}

void TForm2::CheckBox1Click(QObject*) {
    const bool on = CheckBox1->isChecked();
    RadioButton1->setEnabled(on);
    RadioButton2->setEnabled(on);
    Panel1->setEnabled(on);
}

void TForm2::RadioButton1Click(QObject*) {
    Panel1->SetCaption(FromAnsi(ApplyOption1()));
}

void TForm2::RadioButton2Click(QObject*) {
    Panel1->SetCaption(FromAnsi(ApplyOption2()));
}

TForm2BackupPrompt::TForm2BackupPrompt(QWidget* owner) {
    Form2 = new TForm2(owner);
}

TForm2BackupPrompt::~TForm2BackupPrompt() {
    delete Form2;
    Form2 = nullptr;
}

bool TForm2BackupPrompt::Confirm(TSplitPath& parts) {
    Form2->SetupBackupNames(parts);
    return Form2->ShowModal() == mrOk;
}

bool TForm2BackupPrompt::BackupWanted() const {
    return Form2->CheckBox1->isChecked();
}

} // namespace sveltor
