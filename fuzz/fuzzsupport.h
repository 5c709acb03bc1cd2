#pragma once

// What every fuzz target shares: a Qt application on the off-screen platform (the surface measures its
// fonts), no message box service, and a reader that turns the fuzzer's bytes into numbers.

#include "canvas/fonts.h"
#include "canvas/messagebox.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace fuzzsupport {

inline void initialise() {
    static bool done = false;
    if (done)
        return;
    done = true;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
    canvas::installFontSubstitutions();
    canvas::setMessageBoxService(nullptr);
}

/// Takes values off the front of the input; zeros once it runs out.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    template <class T> T take() {
        T value{};
        const std::size_t n = size_ < sizeof(T) ? size_ : sizeof(T);
        std::memcpy(&value, data_, n);
        data_ += n;
        size_ -= n;
        return value;
    }
    std::size_t left() const { return size_; }
    const std::uint8_t* rest() const { return data_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

} // namespace fuzzsupport
