#include "toolkit/platform/CDragContainer.h"

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

namespace VSTGUI {

namespace {

// Asks for one clipboard format as global memory, the way every drag
// source can hand it out.
bool getGlobalData(IDataObject* dataObject, CLIPFORMAT format, STGMEDIUM& medium) {
    FORMATETC request = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    medium = STGMEDIUM();
    return SUCCEEDED(dataObject->GetData(&request, &medium));
}

int32_t countFiles(const STGMEDIUM& medium) {
    if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal)
        return 0;
    return int32_t(DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0xFFFFFFFF, nullptr, 0));
}

}  // namespace

CDragContainer::CDragContainer(IDataObject* dataObject) : dataObject(dataObject) {
    if (!dataObject)
        return;
    // The medium is needed only for counting: give each one back at once.
    STGMEDIUM medium;
    if (getGlobalData(dataObject, CF_TEXT, medium)) {
        itemCount = 1;
        ReleaseStgMedium(&medium);
        return;
    }
    if (getGlobalData(dataObject, CF_HDROP, medium)) {
        itemCount = countFiles(medium);
        ReleaseStgMedium(&medium);
    }
}

}  // namespace VSTGUI
