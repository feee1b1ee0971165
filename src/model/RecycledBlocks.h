#pragma once

#include <cstddef>
#include <new>
#include <utility>

namespace vq {

// Blocks of one size kept for reuse by the thread that freed them. A point's entries are made
// and dropped together, tens at a time: more than malloc keeps at hand for a size, so each
// would otherwise go back through its slow path.
template <size_t Size>
class RecycledBlocks {
public:
    static void* take() {
        if (gone) return ::operator new(Size);
        return pool().pop();
    }
    static void give(void* block) {
        if (gone) return ::operator delete(block);
        pool().push(block);
    }

private:
    static constexpr size_t kept = 512;  // a few points' worth
    struct Link {
        Link* next;
    };
    struct Pool {
        ~Pool() {
            gone = true;  // blocks freed later, at thread exit, go straight back to the heap
            while (head) ::operator delete(std::exchange(head, head->next));
        }
        void* pop() {
            if (!head) return ::operator new(Size);
            --count;
            return std::exchange(head, head->next);
        }
        void push(void* block) {
            if (count >= kept) return ::operator delete(block);
            head = new (block) Link{head};
            ++count;
        }
        Link* head = nullptr;
        size_t count = 0;
    };
    static Pool& pool() {
        thread_local Pool blocks;
        return blocks;
    }
    static inline thread_local bool gone = false;
};

// Allocates through RecycledBlocks, for shared objects made with std::allocate_shared.
template <typename T>
struct RecyclingAllocator {
    using value_type = T;
    RecyclingAllocator() = default;
    template <typename U>
    RecyclingAllocator(const RecyclingAllocator<U>&) {}
    T* allocate(size_t count) {
        if (count != 1) return static_cast<T*>(::operator new(count * sizeof(T)));
        return static_cast<T*>(RecycledBlocks<sizeof(T)>::take());
    }
    void deallocate(T* block, size_t count) {
        if (count != 1) return ::operator delete(block);
        RecycledBlocks<sizeof(T)>::give(block);
    }
    template <typename U>
    bool operator==(const RecyclingAllocator<U>&) const {
        return true;
    }
};

}  // namespace vq
