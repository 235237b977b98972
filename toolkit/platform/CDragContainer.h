// What is being dragged over the editor and how many items it carries (one
// text, or a number of files). Each window system makes it its own way: Win32
// from the OLE data object of the drag in progress, X11 from the XDND
// selection already converted into its items.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/geometry/CReferenceCounter.h"

struct IDataObject;

namespace VSTGUI {

class CDragContainer : public CReferenceCounter {
public:
    // Win32: counts the items at once; the data object is borrowed, not referenced.
    explicit CDragContainer(IDataObject* dataObject);
    // X11: one text, or one local path per file, as the drop delivered them.
    explicit CDragContainer(std::vector<std::string> items);

    int32_t getItemCount() const { return itemCount; }
    // Null where the drag does not come from OLE.
    IDataObject* getDataObject() const { return dataObject; }
    // The converted items (X11); empty where they stay in the data object.
    const std::vector<std::string>& getItems() const { return items; }

private:
    IDataObject* dataObject = nullptr;
    int32_t itemCount = 0;
    std::vector<std::string> items;
};

}  // namespace VSTGUI
