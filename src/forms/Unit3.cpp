#include "Unit3.h"

#include "images/skyline.xpm"

namespace sveltor {

TAboutBox* AboutBox = nullptr;

QPixmap SkylinePicture() {
    return QPixmap(skyline_xpm);
}

TAboutBox::TAboutBox(QWidget* owner) : TForm(owner) {
    setupUi(this);
    setObjectName(QStringLiteral("AboutBox"));
    Position = poScreenCenter;
    SetBorderStyle(bsDialog);
    Panel1->SetCaption(QString());
    Panel1->SetBevels(TPanel::bvLowered, TPanel::bvRaised);
    ProgramIcon->SetStretch(true);
    ProgramIcon->SetPicture(SkylinePicture());
    OKButton->ModalResult = mrOk;
    OKButton->setDefault(true);
    Loaded();
}

} // namespace sveltor
