// The library's own message box and input box.
//
// ShowMsgBox and ShowInputBox build a fresh modal window for every call and
// return the button (or text) that closed it. How a box is shown depends on
// what is installed, checked in this order:
//   1. a box driver (setBoxDriver): the box is built and shown without a
//      modal loop, the driver gets it and presses keys or buttons or waits
//      for its timer; whatever the driver leaves open closes without a
//      press (result 0, or empty text for the input box). Tests of the
//      windows themselves use this.
//   2. a platform::ScriptedMsgBoxService installed as the program's
//      message-box service: the message box is recorded there (title, text,
//      icon, buttons) and answered from its script, so tests of the windows
//      that use the library assert the library's notices the same way as the
//      program's own; an input box then returns empty text at once.
//   3. otherwise the box is shown modally and waits for the user.
#pragma once

#include "printlib/liberror.h"

#include <QDialog>
#include <QPixmap>
#include <QString>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace printlib {

// Geometry of one message box in twips, worked out from the text size and
// the visible buttons (index 1..4; index 0 unused).
struct MsgBoxLayout {
    int width = 0;
    int height = 0;
    int buttonTop = 0;
    std::array<int, 5> buttonLeft{}; // -1 for a hidden button
};
// Throws LibError 13 when no button is visible.
MsgBoxLayout layoutMsgBox(int textWidthTw, int textHeightTw, const std::array<bool, 5>& visible);

// Top-left corner in twips of a box of the given size: (left, top) when
// either is non-zero, else centred on a screen of the given size.
QPoint placeBoxTw(int left, int top, int widthTw, int heightTw, int screenWidthTw, int screenHeightTw);

// The drag bar that carries a box's title: dragging it moves the box.
class DragBar : public QWidget {
    Q_OBJECT
public:
    explicit DragBar(QWidget* parent);
    void setCaption(const QString& text);
    QString caption() const;
    void setCaptionFont(const QFont& font);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    QString m_caption;
    QPoint m_grab;
    bool m_grabbing = false;
};

class frmMsgBoxEx : public QDialog {
    Q_OBJECT
public:
    frmMsgBoxEx();

    DragBar* Label1 = nullptr;        // drag bar with the title
    QLabel* Label2 = nullptr;         // the message text
    QLabel* Picture1 = nullptr;       // icon box
    QLabel* Image4 = nullptr;         // decoration
    std::array<QPushButton*, 5> btn{}; // 1..4
    QTimer* tmrAutoClose = nullptr;

    void btn_Click(int index);
    int getButton() const { return m_pressed; }

    int defaultIdx() const { return m_defaultIdx; }
    int cancelIdx() const { return m_cancelIdx; }
    // The system icon number drawn (32513..32516), 0 for none or a picture
    // of the caller's; the beep type played, -1 when none.
    int iconId() const { return m_iconId; }
    int soundType() const { return m_soundType; }
    int autoCloseButton() const { return m_autoCloseButton; }
    // Size in twips as worked out by the layout.
    MsgBoxLayout layoutTw() const { return m_layout; }
    QPoint positionTw() const { return m_posTw; }

protected:
    void reject() override;
    void paintEvent(QPaintEvent* e) override;

private:
    friend class clsInteraction;
    void tmrAutoClose_Timer();

    int m_pressed = 0;
    int m_defaultIdx = 0;
    int m_cancelIdx = 0;
    int m_iconId = 0;
    int m_soundType = -1;
    int m_autoCloseButton = 0;
    MsgBoxLayout m_layout;
    QPoint m_posTw;
};

class frmInputBoxEx : public QDialog {
    Q_OBJECT
public:
    frmInputBoxEx();

    DragBar* Label1 = nullptr;
    QLabel* Label2 = nullptr;          // the prompt
    QLineEdit* txtInputValue = nullptr;
    std::array<QPushButton*, 3> btn{}; // 1..2
    QLabel* Image4 = nullptr;

    void btn_Click(int index);
    QString getRetVal() const { return m_result; }
    int defaultIdx() const { return m_defaultIdx; }
    int cancelIdx() const { return m_cancelIdx; }
    QPoint positionTw() const { return m_posTw; }

protected:
    void reject() override;
    void paintEvent(QPaintEvent* e) override;

private:
    friend class clsInteraction;
    QString m_default;
    QString m_result;
    int m_defaultIdx = 0;
    int m_cancelIdx = 0;
    QPoint m_posTw;
};

class clsInteraction {
public:
    // Returns the index (1..4) of the button that closed the box, by the
    // user or by the timer; 0 when it closed without a press.
    // Fails (LibError 13) when DefaultIdx or CancelIdx is above 4 or
    // every caption is empty, before anything is shown. A negative
    // AutoCloseInterval is taken as 0 (no automatic press).
    int ShowMsgBox(const QString& Title = QStringLiteral("Attention"),
                   const QString& Text = QString(),
                   const QString& btn1Caption = QStringLiteral("OK"),
                   const QString& btn2Caption = QString(),
                   const QString& btn3Caption = QString(),
                   const QString& btn4Caption = QString(),
                   int Img = 3, int DefaultIdx = 1, int CancelIdx = 0,
                   int wLeft = 0, int wTop = 0, bool wTopMost = false,
                   const QPixmap* CustomImg = nullptr,
                   int AutoCloseButton = 0, int AutoCloseInterval = 0);

    // Returns the entered text; DefaultValue on cancel or an empty field;
    // empty text when closed without a press. MaxTextLen above 0 limits
    // the length of the entry field. Fails (LibError 13) when
    // DefaultIdx or CancelIdx is above 2.
    QString ShowInputBox(const QString& Title = QStringLiteral("Attention"),
                         const QString& Text = QString(),
                         const QString& DefaultTextValue = QString(),
                         const QString& DefaultValue = QString(),
                         int MaxTextLen = 0,
                         const QString& btn1Caption = QStringLiteral("OK"),
                         const QString& btn2Caption = QString(),
                         int DefaultIdx = 1, int CancelIdx = 2,
                         int wLeft = 0, int wTop = 0, bool wTopMost = false);

    // Font names, one setting for the whole program; before any write they
    // read the standard font's name.
    QString msgTitleFont() const;
    void setMsgTitleFont(const QString& name);
    QString msgButtonsFont() const;
    void setMsgButtonsFont(const QString& name);
    QString msgTextFont() const;
    void setMsgTextFont(const QString& name);
    QString inpTextBoxFont() const;
    void setInpTextBoxFont(const QString& name);
    QString inpTitleFont() const;
    void setInpTitleFont(const QString& name);
    QString inpButtonsFont() const;
    void setInpButtonsFont(const QString& name);
    QString inpTextFont() const;
    void setInpTextFont(const QString& name);

    // Test seam, see the top of this file. An empty function removes it.
    using BoxDriver = std::function<void(QDialog&)>;
    static void setBoxDriver(BoxDriver driver);
};

// The library's shared instance (the library-wide `Interaction`), created
// on first use.
clsInteraction& interaction();

} // namespace printlib
