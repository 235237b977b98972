#include "toolkit/drawing/SharedPictures.h"

#include <mutex>
#include <new>
#include <vector>

#include "toolkit/platform/Bitmaps.h"

namespace VSTGUI {

namespace {

struct Entry {
    PictureKey key;
    GraphicsHandle picture;
    int32_t users;
};

// A handful of pictures per module: a list searched in order is enough.
struct Registry {
    std::mutex lock;
    std::vector<Entry> entries;
};

// Made at first use, so that a module's static start-up order never matters.
Registry& registry() {
    static Registry instance;
    return instance;
}

}  // namespace

GraphicsHandle SharedPictures::acquire(const PictureKey& key, const Maker& make) {
    Registry& shared = registry();
    std::lock_guard<std::mutex> guard(shared.lock);
    for (Entry& entry : shared.entries) {
        if (entry.key == key) {
            ++entry.users;
            return entry.picture;
        }
    }
    GraphicsHandle picture = make ? make() : nullptr;
    if (!picture)
        return nullptr;
    try {
        shared.entries.push_back(Entry{key, picture, 1});
    } catch (const std::bad_alloc&) {
        // Drawn from a window procedure: no exception may leave.
        destroyBitmap(picture);
        return nullptr;
    }
    return picture;
}

void SharedPictures::release(GraphicsHandle picture) {
    if (!picture)
        return;
    Registry& shared = registry();
    std::lock_guard<std::mutex> guard(shared.lock);
    for (auto entry = shared.entries.begin(); entry != shared.entries.end(); ++entry) {
        if (entry->picture != picture)
            continue;
        if (--entry->users == 0) {
            destroyBitmap(picture);
            shared.entries.erase(entry);
        }
        return;
    }
}

size_t SharedPictures::count() {
    Registry& shared = registry();
    std::lock_guard<std::mutex> guard(shared.lock);
    return shared.entries.size();
}

}  // namespace VSTGUI
