#include "model/tokensetslots.h"

TokensetSlots::TokensetSlots(const TokensetSlots &other)
{
    for (int k = 0; k < kCount; ++k) {
        if (other.slots_[size_t(k)])
            slots_[size_t(k)] = std::make_unique<Tokenset>(*other.slots_[size_t(k)]);
    }
}

TokensetSlots &TokensetSlots::operator=(const TokensetSlots &other)
{
    if (this == &other)
        return *this;
    for (int k = 0; k < kCount; ++k) {
        const std::unique_ptr<Tokenset> &from = other.slots_[size_t(k)];
        std::unique_ptr<Tokenset> &to = slots_[size_t(k)];
        if (to)
            *to = from ? *from : blank();
        else if (from)
            to = std::make_unique<Tokenset>(*from);
    }
    return *this;
}

bool TokensetSlots::operator==(const TokensetSlots &other) const
{
    for (int k = 0; k < kCount; ++k) {
        if (slots_[size_t(k)] != other.slots_[size_t(k)] && (*this)[k] != other[k])
            return false;
    }
    return true;
}

const Tokenset &TokensetSlots::blank()
{
    static const Tokenset empty;
    return empty;
}
