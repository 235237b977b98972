// A drag source's data object for tests: offers text, a list of three files,
// only a private format that no drop target understands, or a broken file
// list without memory behind it. It can count the storage media it hands
// out and how many of them come back.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <atomic>

namespace quavixtest {

enum class DragPayload { text, threeFiles, neither, fileListWithoutMemory };

class TestDataObject : public IDataObject {
public:
    // With tracked media each one carries a release hook (pUnkForRelease),
    // so that ReleaseStgMedium is counted. Media handed across apartments
    // are left plain.
    TestDataObject(DragPayload payload, bool trackMedia);

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    STDMETHODIMP DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    STDMETHODIMP DUnadvise(DWORD connection) override;
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA** advisers) override;
    virtual ~TestDataObject() = default;

    int mediaHandedOut() const { return handedOut; }
    int mediaReleased() const { return released; }
    // Requests for any format, answered or not.
    int dataRequests() const { return requests; }

    static const char* const kFileNames[3];
    static const char* const kText;

private:
    friend class MediumHolder;
    bool offers(const FORMATETC& format) const;
    HGLOBAL makeContents() const;

    std::atomic<LONG> referenceCount{1};
    DragPayload payload;
    bool trackMedia;
    std::atomic<int> handedOut{0};
    std::atomic<int> released{0};
    std::atomic<int> requests{0};
};

}  // namespace quavixtest
