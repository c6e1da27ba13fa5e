// Small window services shared by the library's windows: twip conversion,
// the close box that refuses to close, select-all on focus and combo boxes
// that open on one click.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QComboBox;
class QDialog;
class QLineEdit;
class QWidget;

namespace printlib {

// Design sizes of the library's controls are in twips (1/1440 inch).
int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
double pixelsToTwipsX(double pixels);
double pixelsToTwipsY(double pixels);

// Removes the window's close button and makes it refuse to be closed by the
// window manager (close box, Alt+F4); only the window's own code closes it,
// through allowCloseByCode(). Disable false restores the normal close box.
void DisableXButton(QWidget* window, bool disable);
// The window's own buttons close it: lets exactly the next close through.
void allowCloseByCode(QWidget* window);
// True while DisableXButton(window, true) is in force.
bool closeBoxDisabled(const QWidget* window);

// Selects the whole text of a box; a missing box is ignored.
void SelectAllText(QLineEdit* box);

// Makes the box select all its text whenever it receives the focus (also
// when a mouse click gives it the focus).
void selectAllOnFocus(QLineEdit* box);

// One left click anywhere on the combo box drops its list down. The dialog
// hooks its printer and range lists, the preview its zoom list; each hook is
// undone by its Unhook (or when the box is destroyed).
void HookPrinterCombo(QComboBox* box);
void HookRangeCombo(QComboBox* box);
void HookZoomCombo(QComboBox* box);
void UnhookPrinterCombo();
void UnhookRangeCombo();
void UnhookZoomCombo();
bool comboHooked(const QComboBox* box);

// The number at the start of a text, the way the old Val read it: leading
// blanks skipped, an optional sign, digits with "." as the decimal point and
// an optional exponent; 0 when the text starts with nothing numeric.
double Val(const QString& text);
// Rounds to the nearest whole number, halves to even (the old CInt).
long long roundHalfEven(double value);

// Shows one of the library's modal windows (preview, print dialog) and
// returns when it is hidden. Tests install a driver: the window is then
// shown without a modal loop and handed to the driver, which clicks and
// types; whatever the driver leaves open is hidden afterwards.
using ModalDriver = std::function<void(QDialog&)>;
void setModalDriver(ModalDriver driver); // an empty function removes it
void runModal(QDialog& window);

} // namespace printlib
