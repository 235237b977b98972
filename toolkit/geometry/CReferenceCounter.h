// The reference count of every shared toolkit object. Counting is plain:
// all counted objects live on the editor's window thread.
#pragma once

#include <cstdint>

namespace VSTGUI {

class CReferenceCounter {
public:
    CReferenceCounter() = default;
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;

    virtual ~CReferenceCounter() = default;
    virtual void dropReference() {
        if (--referenceCount == 0)
            delete this;
    }
    virtual void addReference() { ++referenceCount; }

    int32_t getNbReference() const { return referenceCount; }

private:
    int32_t referenceCount = 1;
};

}  // namespace VSTGUI
