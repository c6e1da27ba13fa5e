// Thin stand-ins for the old 3-D controls, where a Caption or a value reads
// better than the Qt name, and the colour numbers of the old forms.
#pragma once

#include <QCheckBox>
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

class QLineEdit;

namespace platform {

// An old colour number &HBBGGRR (blue in the high byte): 0xC0C0C0 light grey,
// 0xC0 dark red, 0xFF0000 blue.
QColor legacyColor(quint32 bgr);

// 3-D panel: a label in a sunken frame.
class SSPanel : public QLabel {
    Q_OBJECT
public:
    explicit SSPanel(QWidget* parent = nullptr);
    explicit SSPanel(const QString& caption, QWidget* parent = nullptr);
    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
    void setBackColor(quint32 bgr);
    void setForeColor(quint32 bgr);
};

// 3-D command button.
class SSCommand : public QPushButton {
    Q_OBJECT
public:
    explicit SSCommand(QWidget* parent = nullptr);
    explicit SSCommand(const QString& caption, QWidget* parent = nullptr);
    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
};

// 3-D check box; value() is 0 or 1 as the old control's Value.
class SSCheck : public QCheckBox {
    Q_OBJECT
public:
    explicit SSCheck(QWidget* parent = nullptr);
    explicit SSCheck(const QString& caption, QWidget* parent = nullptr);
    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
    int value() const { return isChecked() ? 1 : 0; }
    void setValue(int value) { setChecked(value != 0); }
};

// 3-D frame with a caption.
class SSFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit SSFrame(QWidget* parent = nullptr);
    explicit SSFrame(const QString& caption, QWidget* parent = nullptr);
    QString caption() const { return title(); }
    void setCaption(const QString& caption) { setTitle(caption); }
};

// Text boxes take only what the files and printouts can carry: a box refuses,
// as typed or pasted, any text holding a character that the Windows-1250
// code page cannot hold (half a surrogate pair, which a length limit would
// otherwise leave behind, included). The edit is simply not made, the way a
// masked box refuses a misfit: no message, nothing stored. As every character
// the code page holds is one unit of a QString, a box's length limit then
// counts characters.
//
// guardTextBox() puts the rule on one box, unless the box has a validator of
// its own (a spin box's digits) or sits in a file dialog (a file name is not
// data). guardTextBoxes() makes every text box of the program get it when it
// is first shown; the event layer of every window calls it.
void guardTextBox(QLineEdit* box);
void guardTextBoxes();

} // namespace platform
