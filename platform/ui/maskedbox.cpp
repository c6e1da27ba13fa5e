#include "platform/ui/maskedbox.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace platform {

namespace {
constexpr QChar kDigitSlot = u'#';
constexpr QChar kBlank = u' ';

bool isDateMask(const QString& mask)
{
    return mask == QLatin1String("####.##.##.");
}
} // namespace

MaskEdBox::MaskEdBox(QWidget* parent) : MaskEdBox(QString(), parent) {}

MaskEdBox::MaskEdBox(const QString& mask, QWidget* parent) : QLineEdit(parent)
{
    // Dropped or pasted text would bypass the mask; the old control took
    // neither in a way the clerks relied on.
    setDragEnabled(false);
    setAcceptDrops(false);
    connect(this, &QLineEdit::textChanged, this, &MaskEdBox::onTextChanged);
    setMask(mask);
}

void MaskEdBox::setMask(const QString& mask)
{
    // Lift the length limit first: truncating the old text would not fit the
    // new mask.
    setMaxLength(32767);
    hideFormat();
    m_mask = mask;
    // The standard menu's Paste and Cut would bypass the mask.
    setContextMenuPolicy(mask.isEmpty() ? Qt::DefaultContextMenu : Qt::NoContextMenu);
    applyText(blankText(), 0);
    if (!mask.isEmpty())
        setMaxLength(int(mask.size()));
    settleFormat();
}

QString MaskEdBox::blankText() const
{
    QString out = m_mask;
    for (QChar& c : out)
        if (c == kDigitSlot)
            c = kBlank;
    return out;
}

bool MaskEdBox::isBlank() const
{
    return m_mask.isEmpty() ? text().isEmpty() : text() == blankText();
}

QString MaskEdBox::clipText() const
{
    if (m_mask.isEmpty())
        return text();
    const QString t = text();
    QString out;
    for (int i = 0; i < m_mask.size() && i < t.size(); ++i)
        if (m_mask.at(i) == kDigitSlot)
            out += t.at(i);
    return out;
}

bool MaskEdBox::fitsMask(const QString& text, const QString& mask)
{
    if (text.size() != mask.size())
        return false;
    for (int i = 0; i < mask.size(); ++i) {
        const QChar m = mask.at(i);
        const QChar c = text.at(i);
        if (m == kDigitSlot) {
            // Only ASCII digits: the old box refused other scripts' digits.
            if (c != kBlank && !(c >= u'0' && c <= u'9'))
                return false;
        } else if (c != m) {
            return false;
        }
    }
    return true;
}

bool MaskEdBox::setText(const QString& text)
{
    hideFormat();
    const bool accepted = setTypedText(text);
    settleFormat();
    return accepted;
}

bool MaskEdBox::showStored(const QString& text)
{
    if (setText(text))
        return true;
    setText(QString());
    m_lastSetFailed = true;
    return false;
}

bool MaskEdBox::setTypedText(const QString& text)
{
    if (m_mask.isEmpty()) {
        m_lastSetFailed = false;
        applyText(text, int(text.size()));
        return true;
    }
    QString candidate = text.isEmpty() ? blankText() : text;
    // Converted records keep their dates without the closing point.
    if (isDateMask(m_mask) && candidate.size() == m_mask.size() - 1)
        candidate += m_mask.back();
    if (!fitsMask(candidate, m_mask)) {
        m_lastSetFailed = true;
        return false;
    }
    m_lastSetFailed = false;
    applyText(candidate, 0);
    return true;
}

QString MaskEdBox::formattedText() const
{
    return m_formatter ? m_formatter(text(), m_format) : text();
}

void MaskEdBox::setFormat(const QString& format)
{
    hideFormat();
    m_format = format;
    settleFormat();
}

void MaskEdBox::setFormatter(Formatter formatter)
{
    hideFormat();
    m_formatter = std::move(formatter);
    settleFormat();
}

void MaskEdBox::showFormat()
{
    if (m_showingFormat || !formats())
        return;
    m_typed = QLineEdit::text();
    m_typedMaxLength = maxLength();
    m_swapping = true;
    // The formatted text may be longer than the typed text may be.
    setMaxLength(32767);
    QLineEdit::setText(formattedText());
    setCursorPosition(0);
    m_swapping = false;
    m_showingFormat = true;
}

void MaskEdBox::hideFormat()
{
    if (!m_showingFormat)
        return;
    m_showingFormat = false;
    m_swapping = true;
    QLineEdit::setText(m_typed);
    setMaxLength(m_typedMaxLength);
    setCursorPosition(int(m_typed.size()));
    m_swapping = false;
    m_typed.clear();
}

void MaskEdBox::settleFormat()
{
    if (!hasFocus())
        showFormat();
}

void MaskEdBox::focusInEvent(QFocusEvent* event)
{
    hideFormat();
    QLineEdit::focusInEvent(event);
}

void MaskEdBox::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A context menu of the box itself takes the focus only for a moment.
    if (event->reason() != Qt::PopupFocusReason)
        showFormat();
}

void MaskEdBox::applyText(const QString& text, int cursor)
{
    QLineEdit::setText(text);
    setCursorPosition(cursor);
}

void MaskEdBox::onTextChanged(const QString& text)
{
    if (m_swapping)
        return;
    if (m_showingFormat) {
        // A set that came round setText (through a QLineEdit pointer) while
        // the format was shown: that text is the typed text from now on.
        m_showingFormat = false;
        m_typed.clear();
        setMaxLength(m_typedMaxLength);
        onTextChanged(QLineEdit::text());
        settleFormat();
        return;
    }
    if (!m_mask.isEmpty() && !fitsMask(text, m_mask)) {
        // Text that came round the mask (QLineEdit::clear(), or setText and
        // insert reached through a QLineEdit pointer): clear() means blank,
        // anything else is refused.
        applyText(text.isEmpty() || !fitsMask(m_lastText, m_mask) ? blankText() : m_lastText, 0);
        return;
    }
    // QLineEdit reports some no-op sets as changes; Change is for real ones.
    if (text == m_lastText)
        return;
    m_lastText = text;
    emit Change();
}

int MaskEdBox::nextEditable(int pos) const
{
    while (pos < m_mask.size() && m_mask.at(pos) != kDigitSlot)
        ++pos;
    return pos;
}

int MaskEdBox::prevEditable(int pos) const
{
    --pos;
    while (pos >= 0 && m_mask.at(pos) != kDigitSlot)
        --pos;
    return pos;
}

int MaskEdBox::lastFilled() const
{
    const QString t = text();
    for (int i = int(qMin(m_mask.size(), t.size())) - 1; i >= 0; --i)
        if (m_mask.at(i) == kDigitSlot && t.at(i) != kBlank)
            return i;
    return -1;
}

int MaskEdBox::firstUnfilled() const
{
    const QString t = text();
    for (int i = 0; i < m_mask.size() && i < t.size(); ++i)
        if (m_mask.at(i) == kDigitSlot && t.at(i) == kBlank)
            return i;
    return -1;
}

void MaskEdBox::blankRange(int from, int to)
{
    QString t = text();
    for (int i = qMax(0, from); i < to && i < m_mask.size(); ++i)
        if (m_mask.at(i) == kDigitSlot)
            t[i] = kBlank;
    applyText(t, from);
}

void MaskEdBox::typeDigit(QChar c)
{
    int pos = cursorPosition();
    if (hasSelectedText()) {
        const int start = selectionStart();
        blankRange(start, start + int(selectedText().size()));
        pos = start;
    }
    pos = nextEditable(pos);
    if (pos >= m_mask.size())
        return; // the box is full up to its end
    QString t = text();
    t[pos] = c;
    applyText(t, nextEditable(pos + 1));
}

void MaskEdBox::keyPressEvent(QKeyEvent* event)
{
    // Keys sent to a box without the focus (by code) edit the typed text too.
    hideFormat();
    if (m_mask.isEmpty() || isReadOnly()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int pos = cursorPosition();
    switch (event->key()) {
    case Qt::Key_Backspace:
        if (hasSelectedText()) {
            const int start = selectionStart();
            blankRange(start, start + int(selectedText().size()));
        } else {
            const int p = prevEditable(pos);
            if (p >= 0)
                blankRange(p, p + 1);
        }
        event->accept();
        return;
    case Qt::Key_Delete:
        if (hasSelectedText()) {
            const int start = selectionStart();
            blankRange(start, start + int(selectedText().size()));
        } else {
            const int p = nextEditable(pos);
            if (p < m_mask.size()) {
                blankRange(p, p + 1);
                setCursorPosition(p);
            }
        }
        event->accept();
        return;
    default:
        break;
    }
    // Navigation, selection, copy and the keys the window handles go the
    // ordinary way; anything that would insert or remove text is taken here.
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)
        || event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)
        || event->matches(QKeySequence::DeleteEndOfWord) || event->matches(QKeySequence::DeleteStartOfWord)
        || event->matches(QKeySequence::DeleteEndOfLine) || event->matches(QKeySequence::DeleteCompleteLine)) {
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && typed.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const QChar c = typed.at(0);
        if (c >= u'0' && c <= u'9') {
            typeDigit(c);
        } else {
            // Typing the next literal jumps past it, so "9:05" can be typed
            // into an hour-minute box as the clerk reads it.
            int p = hasSelectedText() ? selectionStart() : pos;
            while (p < m_mask.size() && m_mask.at(p) == kDigitSlot)
                ++p;
            if (p < m_mask.size() && m_mask.at(p) == c)
                setCursorPosition(p + 1);
        }
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void MaskEdBox::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);
    if (m_mask.isEmpty() || event->button() != Qt::LeftButton || (event->modifiers() & Qt::ShiftModifier)
        || hasSelectedText())
        return;
    // The blanks of an unfilled box are text too, and a click in the empty
    // part of the box lands after them, where no digit can go. Positions up
    // to just after the last digit still count as clicked on it.
    const int unfilled = firstUnfilled();
    if (unfilled >= 0 && cursorPosition() > lastFilled() + 1)
        setCursorPosition(unfilled);
}

void MaskEdBox::inputMethodEvent(QInputMethodEvent* event)
{
    hideFormat();
    if (m_mask.isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    for (QChar c : event->commitString())
        if (c >= u'0' && c <= u'9')
            typeDigit(c);
    event->accept();
}

} // namespace platform
