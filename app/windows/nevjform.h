// nevjform: the about box, one picture of the program in a window that the
// close box closes.
#pragma once

#include "platform/ui/legacyform.h"

#include <QPixmap>

class QLabel;
struct ProgramInfo;

// The about picture of a program: 422 x 248 pixels, its name and caption.
QPixmap drawAboutPicture(const ProgramInfo& info);

class nevjform : public platform::LegacyForm {
    Q_OBJECT
public:
    explicit nevjform(const ProgramInfo& info, QWidget* parent = nullptr);

    QLabel* Picture1 = nullptr;

protected:
    void Form_Activate() override;
};
