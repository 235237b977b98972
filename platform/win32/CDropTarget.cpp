#include "platform/win32/CDropTarget.h"

#include <new>

#include "toolkit/views/CFrame.h"
#include "toolkit/platform/CDragContainer.h"
#include "toolkit/platform/DragEvent.h"
#include "toolkit/drawing/CDrawContext.h"

namespace VSTGUI {

namespace {

// One drag at a time in the whole process, whichever editor it is over.
CDragContainer* currentDragContainer = nullptr;
int32_t liveTargets = 0;

}  // namespace

CDropTarget::CDropTarget(CFrame* frame) : frame(frame) { ++liveTargets; }

CDropTarget::~CDropTarget() { --liveTargets; }

CDragContainer* CDropTarget::getCurrentDragContainer() { return currentDragContainer; }

int32_t CDropTarget::getLiveCount() { return liveTargets; }

STDMETHODIMP CDropTarget::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IDropTarget) || IsEqualIID(iid, IID_IUnknown)) {
        *object = this;
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CDropTarget::AddRef() { return ULONG(++referenceCount); }

STDMETHODIMP_(ULONG) CDropTarget::Release() {
    if (--referenceCount > 0)
        return ULONG(referenceCount);
    delete this;
    return 0;
}

STDMETHODIMP CDropTarget::DragEnter(IDataObject* dataObject, DWORD, POINTL, DWORD* effect) {
    if (!dataObject || !frame) {
        if (effect)
            *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    CDragContainer* container = new (std::nothrow) CDragContainer(dataObject);
    releaseCurrentDragContainer();
    currentDragContainer = container;
    if (container)
        deliver(DragEvent::enter);
    if (effect)
        *effect = container ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
    return S_OK;
}

STDMETHODIMP CDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    if (!currentDragContainer || !frame)
        return S_OK;
    deliver(DragEvent::move);
    if (effect)
        *effect = DROPEFFECT_MOVE;
    return S_OK;
}

STDMETHODIMP CDropTarget::DragLeave() {
    if (currentDragContainer && frame)
        deliver(DragEvent::leave);
    // The drag is over even when our frame has gone meanwhile.
    releaseCurrentDragContainer();
    return S_OK;
}

STDMETHODIMP CDropTarget::Drop(IDataObject*, DWORD, POINTL, DWORD* effect) {
    if (currentDragContainer && frame)
        deliver(DragEvent::drop);
    releaseCurrentDragContainer();
    // No view takes the data: a source told "moved" might delete the
    // user's original, so the drop reports that nothing happened to it.
    if (effect)
        *effect = DROPEFFECT_NONE;
    return S_OK;
}

void CDropTarget::deliver(DragEvent event) {
    CDrawContext* context = frame->createDrawContext();
    if (!context)
        return;
    CPoint where(0, 0);
    frame->getMouseLocation(context, where);
    deliverDragEvent(frame, context, currentDragContainer, event, where);
    context->dropReference();
}

void CDropTarget::releaseCurrentDragContainer() {
    if (!currentDragContainer)
        return;
    CDragContainer* container = currentDragContainer;
    currentDragContainer = nullptr;
    container->dropReference();
}

}  // namespace VSTGUI
