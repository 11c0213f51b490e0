#pragma once

#include "model/tokenset.h"

#include <array>
#include <iterator>
#include <memory>

// The 51 tokenset slots of a language, used like an array of 51 Tokensets. A slot that was never
// written takes no memory: most slots of most languages are free, and a free slot takes 96 bytes in
// varlex.dat but several hundred as a Tokenset. Reading a slot never allocates; writing one (any
// non-const access) gives it storage of its own, which stays at the same address for the life of
// the language, so a reference to a slot stays valid as it would into an array.
class TokensetSlots {
public:
    static constexpr int kCount = 51;

    TokensetSlots() = default;
    TokensetSlots(const TokensetSlots &other);
    TokensetSlots(TokensetSlots &&other) noexcept = default;
    // Assigns slot by slot, so references into this language stay valid.
    TokensetSlots &operator=(const TokensetSlots &other);
    TokensetSlots &operator=(TokensetSlots &&other) noexcept = default;

    static constexpr int size() { return kCount; }

    const Tokenset &operator[](int k) const { return slots_[size_t(k)] ? *slots_[size_t(k)] : blank(); }
    Tokenset &operator[](int k)
    {
        std::unique_ptr<Tokenset> &slot = slots_[size_t(k)];
        if (!slot)
            slot = std::make_unique<Tokenset>();
        return *slot;
    }

    // True when slot k was never written (it reads as a blank Tokenset).
    bool untouched(int k) const { return !slots_[size_t(k)]; }

    bool operator==(const TokensetSlots &other) const;

    template <typename Owner, typename Value>
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Tokenset;
        using difference_type = std::ptrdiff_t;
        using pointer = Value *;
        using reference = Value &;
        Iterator() = default;
        Iterator(Owner *owner, int k)
            : owner_(owner)
            , k_(k)
        {
        }
        Value &operator*() const { return (*owner_)[k_]; }
        Value *operator->() const { return &(*owner_)[k_]; }
        Iterator &operator++()
        {
            ++k_;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator old = *this;
            ++k_;
            return old;
        }
        bool operator==(const Iterator &other) const { return k_ == other.k_; }

    private:
        Owner *owner_ = nullptr;
        int k_ = 0;
    };
    using iterator = Iterator<TokensetSlots, Tokenset>;
    using const_iterator = Iterator<const TokensetSlots, const Tokenset>;

    // Iterating without const gives every slot storage of its own.
    iterator begin() { return {this, 0}; }
    iterator end() { return {this, kCount}; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, kCount}; }

private:
    static const Tokenset &blank();

    std::array<std::unique_ptr<Tokenset>, kCount> slots_;
};
