// The OLE drop target on the frame's window: turns OLE's drag callbacks into
// the frame's drag events, each with its own drawing context and the pointer
// in frame coordinates.
#pragma once

#include "toolkit/platform/DragEvent.h"

#include <windows.h>
#include <ole2.h>

#include <cstdint>

namespace VSTGUI {

class CDragContainer;
class CFrame;

class CDropTarget : public IDropTarget {
public:
    // Starts with no reference: RegisterDragDrop takes the first one.
    explicit CDropTarget(CFrame* frame);

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP DragEnter(IDataObject* dataObject, DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* dataObject, DWORD keyState, POINTL point, DWORD* effect) override;

    // The frame is being revoked or destroyed; OLE may still hold us for a
    // drag in progress, which must then reach nothing.
    void forgetFrame() { frame = nullptr; }

    // The drag over any editor window of the process, or null between drags.
    static CDragContainer* getCurrentDragContainer();
    // Targets alive in the process; lets tests see that revoking frees them.
    static int32_t getLiveCount();

protected:
    // Only the last Release destroys a target.
    virtual ~CDropTarget();

private:
    void deliver(DragEvent event);
    static void releaseCurrentDragContainer();

    LONG referenceCount = 0;
    CFrame* frame;
};

}  // namespace VSTGUI
