#pragma once

#include "BackupNames.h"
#include "Convert.h"
#include "Forms.h"
#include "ui_Unit2.h"

namespace sveltor {

// The backup dialog: which backup name the unchanged file gets, and whether it is kept.
// It holds the naming state of the conversion in progress and shows the chosen name.
class TForm2 : public TForm, public Ui_TForm2, public TBackupNames {
    Q_OBJECT

public:
    explicit TForm2(QWidget* owner);

    // Records parts and applies option 1, showing its name; before the dialog is shown.
    void SetupBackupNames(TSplitPath& parts);
    // "Make Backup" enables or disables the choice of name and the name shown.
    void CheckBox1Click(QObject* sender);
    // Option 1: ".BAK" appended to the whole name.
    void RadioButton1Click(QObject* sender);
    // Option 2: "$" in place of the first character.
    void RadioButton2Click(QObject* sender);
};

// The dialog of the conversion in progress, while it exists.
extern TForm2* Form2;

// The Convert operation's backup choice, asked in a fresh TForm2 that lives from the
// question until the operation ends and is stored in Form2 meanwhile.
class TForm2BackupPrompt : public TBackupPrompt {
public:
    // owner: the main window, or null until it exists.
    explicit TForm2BackupPrompt(QWidget* owner);
    ~TForm2BackupPrompt() override;
    bool Confirm(TSplitPath& parts) override;
    bool BackupWanted() const override;
};

} // namespace sveltor
