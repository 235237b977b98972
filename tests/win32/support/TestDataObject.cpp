#include "tests/win32/support/TestDataObject.h"

#include <shlobj.h>

#include <cstring>
#include <string>

namespace quavixtest {

const char* const TestDataObject::kFileNames[3] = {"C:\\samples\\kick.wav", "C:\\samples\\snare.wav",
                                                   "C:\\samples\\hat.wav"};
const char* const TestDataObject::kText = "wah wah";

// Owns one handed-out memory block; ReleaseStgMedium releases it through
// pUnkForRelease instead of freeing the block itself.
class MediumHolder : public IUnknown {
public:
    MediumHolder(TestDataObject* owner, HGLOBAL memory) : owner(owner), memory(memory) { owner->AddRef(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (!IsEqualIID(iid, IID_IUnknown)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = this;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++count; }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = --count;
        if (left == 0) {
            GlobalFree(memory);
            ++owner->released;
            owner->Release();
            delete this;
        }
        return left;
    }

private:
    virtual ~MediumHolder() = default;

    std::atomic<LONG> count{1};
    TestDataObject* owner;
    HGLOBAL memory;
};

namespace {

const CLIPFORMAT kTextFormat = CF_TEXT;
const CLIPFORMAT kFilesFormat = CF_HDROP;

CLIPFORMAT privateFormat() {
    static const CLIPFORMAT format = CLIPFORMAT(RegisterClipboardFormatA("Quavix Test Private Data"));
    return format;
}

HGLOBAL copyToGlobal(const void* bytes, size_t length) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, length);
    if (!memory)
        return nullptr;
    std::memcpy(GlobalLock(memory), bytes, length);
    GlobalUnlock(memory);
    return memory;
}

// DROPFILES followed by the names, each terminated, and one more terminator.
HGLOBAL makeFileList() {
    std::string names;
    for (const char* name : TestDataObject::kFileNames) {
        names += name;
        names += '\0';
    }
    names += '\0';
    std::string block(sizeof(DROPFILES), '\0');
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = FALSE;
    std::memcpy(&block[0], &header, sizeof header);
    block += names;
    return copyToGlobal(block.data(), block.size());
}

}  // namespace

TestDataObject::TestDataObject(DragPayload payload, bool trackMedia) : payload(payload), trackMedia(trackMedia) {}

STDMETHODIMP TestDataObject::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IDataObject) || IsEqualIID(iid, IID_IUnknown)) {
        *object = this;
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) TestDataObject::AddRef() {
    return ++referenceCount;
}

STDMETHODIMP_(ULONG) TestDataObject::Release() {
    const LONG left = --referenceCount;
    if (left == 0)
        delete this;
    return left;
}

bool TestDataObject::offers(const FORMATETC& format) const {
    if (!(format.tymed & TYMED_HGLOBAL) || format.dwAspect != DVASPECT_CONTENT)
        return false;
    switch (payload) {
        case DragPayload::text:
            return format.cfFormat == kTextFormat;
        case DragPayload::threeFiles:
        case DragPayload::fileListWithoutMemory:
            return format.cfFormat == kFilesFormat;
        case DragPayload::neither:
            return format.cfFormat == privateFormat();
    }
    return false;
}

HGLOBAL TestDataObject::makeContents() const {
    switch (payload) {
        case DragPayload::text:
            return copyToGlobal(kText, std::strlen(kText) + 1);
        case DragPayload::threeFiles:
            return makeFileList();
        case DragPayload::neither:
            return copyToGlobal("\x01\x02\x03", 4);
        case DragPayload::fileListWithoutMemory:
            break;
    }
    return nullptr;
}

STDMETHODIMP TestDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    ++requests;
    if (!format || !medium)
        return E_INVALIDARG;
    if (!offers(*format))
        return DV_E_FORMATETC;
    HGLOBAL memory = makeContents();
    if (!memory && payload != DragPayload::fileListWithoutMemory)
        return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = trackMedia ? new MediumHolder(this, memory) : nullptr;
    ++handedOut;
    return S_OK;
}

STDMETHODIMP TestDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}

STDMETHODIMP TestDataObject::QueryGetData(FORMATETC* format) {
    return format && offers(*format) ? S_OK : DV_E_FORMATETC;
}

STDMETHODIMP TestDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out)
        out->ptd = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TestDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

STDMETHODIMP TestDataObject::EnumFormatEtc(DWORD, IEnumFORMATETC** formats) {
    if (formats)
        *formats = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TestDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP TestDataObject::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP TestDataObject::EnumDAdvise(IEnumSTATDATA**) {
    return OLE_E_ADVISENOTSUPPORTED;
}

}  // namespace quavixtest
