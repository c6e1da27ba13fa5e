// The print document: page setup, print options, the element collections,
// pagination into pages, the page renderer and the print job.
//
// Typical use:
//   printlib::CreateJob();
//   auto& job = *printlib::Job;
//   job.setOrientation(2);
//   job.setLeftMargin(15);
//   auto l = job.Labels.Add("Tételek", 0, 0, 100, 6);
//   l->FontBold = true;
//   job.Repeats.AddLabel("&[Page]. oldal", 0, 280, 180, 285, false, platform::DT_RIGHT);
//   job.PreviewDoc(this, true);      // or job.PrintDoc(this, true)
//
// Geometry is in millimetres from the top-left corner of the printer's
// printable area; margins are measured from the edges of that area.
// Property setters refuse bad values with LibError 9 and keep the old value.
#pragma once

#include "printlib/elements.h"
#include "printlib/liberror.h"
#include "printlib/modPrint.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

namespace platform {
class DrawTarget;
}

namespace printlib {

class frmPaginateStatus;

// One laid-out page: copies of the elements placed on it, in queue order.
using Page = std::vector<std::shared_ptr<clsElement>>;

class clsPrint {
public:
    // Takes orientation, paper and copy count from the current printer and
    // reads its metrics. Printer failures propagate (platform::PrinterError).
    clsPrint();
    ~clsPrint();
    clsPrint(const clsPrint&) = delete;
    clsPrint& operator=(const clsPrint&) = delete;

private:
    // Declared before the collections, which append to it.
    clsQueue m_queue;

public:
    // --- element collections, in declaration order
    clsTables Tables{&m_queue};
    clsLabels Labels{&m_queue};
    clsLabelsEx LabelsEx{&m_queue};
    clsLines Lines{&m_queue};
    clsImages Images{&m_queue};
    clsRectangles Rectangles{&m_queue};
    clsPoints Points{&m_queue};
    clsPageBreaks PageBreaks{&m_queue};
    clsRepeats Repeats;

    // --- print options
    bool Collate = false;
    short Copies() const { return m_copies; }
    void setCopies(int value);       // 1..999
    short FromPage() const { return m_fromPage; }
    void setFromPage(int value);     // 0..999, 0 = not set
    short ToPage() const { return m_toPage; }
    void setToPage(int value);       // 0..999, 0 = not set
    int Range() const { return m_range; }
    void setRange(int value);        // 0 all, 1 odd, 2 even

    // --- page setup
    int Orientation() const { return m_orientation; }
    void setOrientation(int value);  // 1 portrait, 2 landscape
    int PageSize() const { return m_pageSize; }
    void setPageSize(int code);      // the printer's paper code; never raises
    float LeftMargin() const { return m_leftMargin; }
    void setLeftMargin(float value); // 0..MaxMargin
    float RightMargin() const { return m_rightMargin; }
    void setRightMargin(float value);
    float TopMargin() const { return m_topMargin; }
    void setTopMargin(float value);
    float BottomMargin() const { return m_bottomMargin; }
    void setBottomMargin(float value);
    float MaxMargin() const { return m_maxMargin; }
    float Width() const { return m_width; }   // paper, current orientation
    float Height() const { return m_height; }
    float PrintableWidth() const { return m_printableWidth; }
    float PrintableHeight() const { return m_printableHeight; }
    QWidget* Owner_hWnd() const { return m_owner; }

    // --- output
    // Asks the running print job to stop after the page being drawn.
    void KillDoc() { m_abortPrint = true; }
    // Paginates for the screen and shows the preview window (defined with the
    // preview window).
    void PreviewDoc(QWidget* Owner_hWnd, bool ViewPaginateStatus = false);
    // Optional print dialog, pagination for the printer, and printing with a
    // progress window whose "Mégse" stops the job. Reports its own errors.
    void PrintDoc(QWidget* Owner_hWnd, bool ShowPrinterWindow = true);

    // --- services of the preview window and the print dialog
    // Sets PixelsPerMM and PixelsPerPoint from the device's resolution.
    void SetDeviceScale(const platform::DrawTarget& device);
    // Lays the queued elements out into pages. Raises LibError 18 on an empty
    // queue; other errors pass through and keep the pages built so far.
    void Paginate();
    // Draws page `page` (1-based) on the target: repeated elements, the page's
    // items, then the white masks over the left and right margins. The target
    // works in millimetres from its top-left corner; offX/offY (whole mm)
    // shift everything, zoom scales it.
    void DrawPage(platform::DrawTarget& target, int page, float zoom, int offX, int offY) const;
    // Laid-out pages; Pages()[0] is page 1.
    const std::vector<Page>& Pages() const { return m_pages; }
    int PageCount() const { return int(m_pages.size()); }
    const clsQueue& ElementQueue() const { return m_queue; }
    float FlowY() const { return m_flowY; }
    bool ViewPaginateStatus() const { return m_viewPaginateStatus; }
    void setViewPaginateStatus(bool value) { m_viewPaginateStatus = value; }
    // Shows the pagination window now, for the work that comes before the
    // pagination (reading the rows, adding the elements); the next
    // pagination goes on in it and closes it, and so does the end of the job.
    frmPaginateStatus& ShowPaginateStatus();
    void setOwner(QWidget* owner) { m_owner = owner; }
    bool AbortPrint() const { return m_abortPrint; }

    // Applies paper code and orientation to the current printer and re-reads
    // the metrics (clamping the margins); false when the printer refused
    // either setting.
    bool ApplyPageSetup(int paperCode, int orientation);

private:
    void checkMargin(float value) const;
    void StartNewPage();
    void forcedBreak();
    void placeFlowing(const clsElement& source);
    void printPasses(int first, int last, int count);

    short m_copies = 1;
    short m_fromPage = 0;
    short m_toPage = 0;
    int m_range = 0;
    int m_orientation = 1;
    int m_pageSize = 9;
    float m_leftMargin = 0;
    float m_rightMargin = 0;
    float m_topMargin = 0;
    float m_bottomMargin = 0;
    float m_maxMargin = 0;
    float m_width = 0;
    float m_height = 0;
    float m_printableWidth = 0;
    float m_printableHeight = 0;
    QPointer<QWidget> m_owner;
    bool m_abortPrint = false;
    bool m_viewPaginateStatus = false;
    std::unique_ptr<frmPaginateStatus> m_status; // shown before the pagination

    // pagination state
    std::vector<Page> m_pages;
    short m_pageCount = 0;
    float m_flowY = 0;
    float m_bottomLimit = 0; // L
    float m_usable = 0;      // U
};

// The library's renderer entry as the windows call it: draws on the current Job.
void DrawPage(platform::DrawTarget& target, int page, float zoom, int offX, int offY);

} // namespace printlib
