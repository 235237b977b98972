// What is being dragged over the editor: the OLE data object of the drag in
// progress and how many items it carries (one text, or a number of files).
#pragma once

#include <cstdint>

#include "gui/geometry/CReferenceCounter.h"

struct IDataObject;

namespace VSTGUI {

class CDragContainer : public CReferenceCounter {
public:
    // Counts the items at once; the data object is borrowed, not referenced.
    explicit CDragContainer(IDataObject* dataObject);

    int32_t getItemCount() const { return itemCount; }
    IDataObject* getDataObject() const { return dataObject; }

private:
    IDataObject* dataObject;
    int32_t itemCount = 0;
};

}  // namespace VSTGUI
