// Thin stand-ins for the old 3-D controls, where a Caption or a value reads
// better than the Qt name, and the colour numbers of the old forms.
#pragma once

#include <QCheckBox>
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

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

} // namespace platform
