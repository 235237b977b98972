#include "toolkit/platform/CDragContainer.h"

#include <utility>

namespace VSTGUI {

CDragContainer::CDragContainer(std::vector<std::string> dropped)
    : itemCount(int32_t(dropped.size())), items(std::move(dropped)) {}

}  // namespace VSTGUI
