// Masked edit box: a text box whose text follows a fixed mask, the way the
// clerks' date and time fields always worked.
//
// Mask characters: "#" holds one digit, every other character is a literal
// that stands where it is ("####.##.##.", "##:##", "##:##:##"). An unfilled
// "#" reads as a blank, so an empty date box reads "    .  .  ." and an empty
// time box "  :  ". With an empty mask the box is an ordinary text box.
//
// Typing works in overwrite mode: a digit replaces the position under the
// cursor, the cursor skips literals, keys other than digits are refused in a
// "#" position, Backspace blanks the position before the cursor, Delete the
// one under it (or the selection).
//
// A mouse click that lands past the last filled position (in the blank tail
// of the box, or anywhere in an empty box) puts the cursor on the first
// unfilled position, so typing starts where the digits are missing instead of
// past the mask's end. A click on or before the last filled position leaves
// the cursor where it was clicked.
//
// setText() from code accepts a text only when it fits the mask character by
// character (digit or blank where "#", the literal where a literal stands);
// otherwise it returns false, sets lastSetFailed() and keeps the old text.
// A date box also takes a ten-character date without its closing point
// ("2005.08.24" reads back "2005.08.24."), as converted records hold it.
//
// Change() is emitted whenever the text changes, by typing or by code.
//
// With a display format and a formatter installed the box behaves as the old
// control with a format did: while it does not have the focus it shows its
// formatted text, and it gives the typed text back for editing as soon as it
// gets the focus. text() is always the typed text; showing or hiding the
// format is no change of it.
#pragma once

#include <QLineEdit>
#include <QString>

#include <functional>

namespace platform {

class MaskEdBox : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskEdBox(QWidget* parent = nullptr);
    explicit MaskEdBox(const QString& mask, QWidget* parent = nullptr);

    // Setting a mask clears the box to the mask's blank form.
    void setMask(const QString& mask);
    QString mask() const { return m_mask; }

    // Hides QLineEdit::setText on purpose: every text set by code is checked.
    // "" clears to the blank form.
    bool setText(const QString& text);
    QString text() const { return m_showingFormat ? m_typed : QLineEdit::text(); }
    bool lastSetFailed() const { return m_lastSetFailed; }
    // Shows a stored value: as setText() takes it, or, when it does not fit
    // the mask ("8:05:00", "2005.8.30."), the blank form, never the text
    // shown before. Returns whether the value fitted; lastSetFailed() says
    // so too.
    bool showStored(const QString& text);

    // The mask with every "#" blank.
    QString blankText() const;
    // True when no "#" position holds a digit.
    bool isBlank() const;
    // The text without the mask's literals (blanks of unfilled positions kept).
    QString clipText() const;

    // Whether text fits mask character by character (no closing-point leniency).
    static bool fitsMask(const QString& text, const QString& mask);

    // Display format such as "$#,##0.00;($#,##0.00)". The box does not format
    // numbers itself: formattedText() runs the formatter that the owner
    // installed, or returns text() when there is none.
    void setFormat(const QString& format);
    QString format() const { return m_format; }
    using Formatter = std::function<QString(const QString& text, const QString& format)>;
    void setFormatter(Formatter formatter);
    QString formattedText() const;
    // What the box shows now: the formatted text while the format is shown,
    // the typed text otherwise.
    QString shownText() const { return QLineEdit::text(); }

signals:
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void typeDigit(QChar c);
    void blankRange(int from, int to); // [from, to)
    int nextEditable(int pos) const;   // first "#" at or after pos, or length
    int prevEditable(int pos) const;   // last "#" before pos, or -1
    int lastFilled() const;            // last "#" holding a digit, or -1
    int firstUnfilled() const;         // first "#" holding a blank, or -1
    void applyText(const QString& text, int cursor);
    bool setTypedText(const QString& text);
    void onTextChanged(const QString& text);
    bool formats() const { return m_formatter && !m_format.isEmpty(); }
    void showFormat();
    void hideFormat();
    // Shows the format when the box has no focus, as after any set by code.
    void settleFormat();

    QString m_mask;
    QString m_format;
    Formatter m_formatter;
    QString m_lastText;
    bool m_lastSetFailed = false;
    bool m_showingFormat = false;
    bool m_swapping = false; // the shown text is being swapped, not changed
    QString m_typed;         // the typed text while the format is shown
    int m_typedMaxLength = 32767;
};

} // namespace platform
