#include "tests/win32/support/DragRecordingView.h"

#include <windows.h>

#include "toolkit/platform/CDragContainer.h"
#include "toolkit/drawing/CDrawContext.h"

using VSTGUI::CDragContainer;
using VSTGUI::CDrawContext;
using VSTGUI::CPoint;
using VSTGUI::CRect;

namespace quavixtest {

DragRecordingView::DragRecordingView(const CRect& size, const char* name, std::vector<DragRecord>* log)
    : CView(size), name(name), log(log) {}

bool DragRecordingView::onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    record(DragEventKind::drop, context, drag, where);
    return true;
}

void DragRecordingView::onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    record(DragEventKind::enter, context, drag, where);
}

void DragRecordingView::onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    record(DragEventKind::leave, context, drag, where);
}

void DragRecordingView::onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    record(DragEventKind::move, context, drag, where);
}

void DragRecordingView::record(DragEventKind kind, CDrawContext* context, CDragContainer* drag,
                               const CPoint& where) {
    POINT pointer;
    GetCursorPos(&pointer);
    DragRecord entry = {name, kind, where, context ? context->screenOrigin : CPoint(-1, -1),
                        CPoint(pointer.x, pointer.y), drag ? drag->getItemCount() : -1};
    log->push_back(entry);
}

std::vector<DragEventKind> kindsOf(const std::vector<DragRecord>& log) {
    std::vector<DragEventKind> kinds;
    for (const DragRecord& entry : log)
        kinds.push_back(entry.kind);
    return kinds;
}

std::vector<DragRecord> recordsOf(const std::vector<DragRecord>& log, const std::string& view) {
    std::vector<DragRecord> selected;
    for (const DragRecord& entry : log) {
        if (entry.view == view)
            selected.push_back(entry);
    }
    return selected;
}

}  // namespace quavixtest
