#include "tests/win32/support/ScriptedDropSource.h"

namespace quavixtest {

STDMETHODIMP ScriptedDropSource::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IDropSource) || IsEqualIID(iid, IID_IUnknown)) {
        *object = this;
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ScriptedDropSource::AddRef() {
    return ++referenceCount;
}

STDMETHODIMP_(ULONG) ScriptedDropSource::Release() {
    const LONG left = --referenceCount;
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP ScriptedDropSource::QueryContinueDrag(BOOL escapePressed, DWORD) {
    if (escapePressed)
        return DRAGDROP_S_CANCEL;
    switch (pending.load()) {
        case DragCommand::drop:
            return DRAGDROP_S_DROP;
        case DragCommand::cancel:
            return DRAGDROP_S_CANCEL;
        case DragCommand::keepGoing:
            break;
    }
    return S_OK;
}

STDMETHODIMP ScriptedDropSource::GiveFeedback(DWORD effect) {
    feedback |= effect;
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

}  // namespace quavixtest
