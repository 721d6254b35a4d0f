// A widget owned by a C++ object and freed with it, that may also go away
// with its Qt parent first: the pointer then reads as null and nothing is
// freed twice.
#pragma once

#include <QPointer>
#include <QWidget>

namespace zx {

template <typename T>
class OwnedWidget {
public:
    OwnedWidget() = default;
    explicit OwnedWidget(T* widget) : m_widget(widget) {}
    ~OwnedWidget() { reset(); }
    OwnedWidget(const OwnedWidget&) = delete;
    OwnedWidget& operator=(const OwnedWidget&) = delete;

    void reset(T* widget = nullptr)
    {
        delete m_widget.data();
        m_widget = widget;
    }
    T* get() const { return m_widget.data(); }
    T* operator->() const { return m_widget.data(); }
    T& operator*() const { return *m_widget; }
    explicit operator bool() const { return !m_widget.isNull(); }

private:
    QPointer<T> m_widget;
};

} // namespace zx
