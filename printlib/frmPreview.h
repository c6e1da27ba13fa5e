// The preview "Nyomtatási kép": the laid-out pages of the current document,
// one at a time, at a chosen zoom, with paging, panning by mouse and keys,
// the page set-up information and printing. Works in millimetres.
#pragma once

#include <QDialog>
#include <QImage>

#include <array>

class QAction;
class QComboBox;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QToolBar;

namespace printlib {

class clsPrint;

// The drawn page; it keeps its picture between repaints.
class PagePicture : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    QImage image;

signals:
    void pressed(QMouseEvent* e);
    void moved(QMouseEvent* e);
    void released(QMouseEvent* e);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override { emit pressed(e); }
    void mouseMoveEvent(QMouseEvent* e) override { emit moved(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { emit released(e); }
};

class frmPreview : public QDialog {
    Q_OBJECT
public:
    explicit frmPreview(clsPrint& job);
    ~frmPreview() override;

    // Toolbar button by its index 1..14; nullptr for placeholders and
    // separators. Keys: "first", "previous", "next", "last", "goto",
    // "print", "info".
    QAction* Buttons(int index) const { return m_buttons[size_t(index)]; }

    QToolBar* tbToolBar = nullptr;
    QLineEdit* txtStatus = nullptr;
    QLineEdit* txtGoto = nullptr;
    QComboBox* cboZoom = nullptr;
    QPushButton* cmdClose = nullptr;
    QWidget* picContainer = nullptr;
    PagePicture* picPage = nullptr;
    QScrollBar* HS = nullptr;
    QScrollBar* VS = nullptr;

    // View state.
    int intCurPage = 1;
    int intPageCount = 0;
    bool blnReady = false;
    bool blnDragging = false;
    // The cursor shown over the page: 1 normal, 3 both ways, 4 vertical,
    // 5 horizontal, 6 no panning.
    int cursorIndex() const { return m_cursor; }
    // How many times a page was drawn (a redraw happens only on change).
    int drawCount() const { return m_drawCount; }
    // Size of the page picture in millimetres, as last drawn.
    double pictureWidthMm() const { return m_lastWidth; }
    double pictureHeightMm() const { return m_lastHeight; }
    double containerWidthMm() const;
    double containerHeightMm() const;

    void cboZoom_Click();
    void tbToolBar_ButtonClick(const QString& key);
    void runButton(int index);
    void HS_Change();
    void VS_Change();
    void AnimateClose();
    void cmdClose_Click();
    // The information box text for the current view.
    QString infoText() const;

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override; // Esc presses "Bezár"

private:
    void Form_Load();
    // Keyboard of the window; true when the key was used.
    bool Form_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void picPage_MouseDown(QMouseEvent* e);
    void picPage_MouseMove(QMouseEvent* e);
    void picPage_MouseUp(QMouseEvent* e);
    void setPageCursor(int index);
    void closeByCode();
    double pxPerMmX() const;
    double pxPerMmY() const;

    clsPrint& m_job;
    std::array<QAction*, 15> m_buttons{};
    int m_cursor = 1;
    int m_drawCount = 0;
    float m_lastZoom = 0;
    int m_lastPage = 0;
    double m_lastWidth = 0;
    double m_lastHeight = 0;
    float m_paperW = 0;
    float m_paperH = 0;
    long m_offsetX = 0;
    long m_offsetY = 0;
    QPoint m_grab;
};

} // namespace printlib
