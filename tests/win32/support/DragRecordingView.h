// A view that writes down every drag event it receives, with the point it
// was given, the item count of the drag and where the pointer really was, so
// that a test can check routing, counting and coordinates in one list.
#pragma once

#include <string>
#include <vector>

#include "toolkit/views/CView.h"

namespace quavixtest {

enum class DragEventKind { enter, move, leave, drop };

struct DragRecord {
    std::string view;
    DragEventKind kind;
    VSTGUI::CPoint where;         // as the view received it
    VSTGUI::CPoint screenOrigin;  // of the context it received
    VSTGUI::CPoint pointer;       // the pointer on the screen at that moment
    int itemCount;                // -1 when no container came with the event
};

class DragRecordingView : public VSTGUI::CView {
public:
    DragRecordingView(const VSTGUI::CRect& size, const char* name, std::vector<DragRecord>* log);

    bool onDrop(VSTGUI::CDrawContext* context, VSTGUI::CDragContainer* drag, const VSTGUI::CPoint& where) override;
    void onDragEnter(VSTGUI::CDrawContext* context, VSTGUI::CDragContainer* drag,
                     const VSTGUI::CPoint& where) override;
    void onDragLeave(VSTGUI::CDrawContext* context, VSTGUI::CDragContainer* drag,
                     const VSTGUI::CPoint& where) override;
    void onDragMove(VSTGUI::CDrawContext* context, VSTGUI::CDragContainer* drag,
                    const VSTGUI::CPoint& where) override;

private:
    void record(DragEventKind kind, VSTGUI::CDrawContext* context, VSTGUI::CDragContainer* drag,
                const VSTGUI::CPoint& where);

    std::string name;
    std::vector<DragRecord>* log;
};

// The kinds of the records, in order, for compact comparisons.
std::vector<DragEventKind> kindsOf(const std::vector<DragRecord>& log);
// The records of one view only.
std::vector<DragRecord> recordsOf(const std::vector<DragRecord>& log, const std::string& view);

}  // namespace quavixtest
