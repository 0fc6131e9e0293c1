#pragma once

#include "Forms.h"
#include "ui_Unit3.h"

namespace sveltor {

// The About box: the program's picture, name, version and copyright. OK, Enter and the
// close box close it; Esc does not, as it has no cancel button.
class TAboutBox : public TForm, public Ui_TAboutBox {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* owner);
};

// The About box while it is open.
extern TAboutBox* AboutBox;

// The About box's picture: a city skyline at dusk, 64 x 56 in 16 colours.
QPixmap SkylinePicture();

} // namespace sveltor
