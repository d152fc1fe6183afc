#pragma once
// The open windows of one kind, in the order they were made. A window joins the list by
// holding a WindowList<T>::Entry, made in its constructor and gone with its destructor, so
// the list never holds a destroyed window. GUI thread only.

#include <algorithm>
#include <cstdint>
#include <vector>

template <class T> class WindowList final {
public:
    // A window's place in the list, for as long as the window exists.
    class Entry final {
    public:
        explicit Entry(T* window) : m_window(window) { windows().push_back(window); }
        ~Entry() { std::erase(windows(), m_window); }
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;

    private:
        T* m_window;
    };

    WindowList() = delete;

    // Every window of the kind, closing ones included, oldest first. A copy: destroying
    // windows while going through it is safe.
    static std::vector<T*> all() { return windows(); }

    // The oldest window of reminder `number` that is not closing, or null; none for -1, the
    // number of no reminder (an editor of a new one). T has number() and isClosing().
    static T* find(std::int32_t number) {
        if (number == -1)
            return nullptr;
        return firstWhere([number](const T* w) { return w->number() == number; });
    }
    // The oldest window that is not closing, or null. T has isClosing().
    static T* first() {
        return firstWhere([](const T*) { return true; });
    }

private:
    template <class Match> static T* firstWhere(Match match) {
        const auto found = std::ranges::find_if(
            windows(), [&match](const T* w) { return !w->isClosing() && match(w); });
        return found == windows().end() ? nullptr : *found;
    }
    static std::vector<T*>& windows() {
        static std::vector<T*> list;
        return list;
    }
};
