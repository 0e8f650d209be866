#pragma once

// Fixed-size containers of the engine: 1-based arrays and blank-padded text fields.

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <string>
#include <string_view>

namespace zenka {

// An array indexed from 1, as the engineers' formulas write it: D(1) is the first sample.
template <typename T, int Size> class Array1 {
public:
    static constexpr int size() { return Size; }

    T& operator()(int i) {
        assert(i >= 1 && i <= Size);
        return v_[static_cast<std::size_t>(i - 1)];
    }
    const T& operator()(int i) const {
        assert(i >= 1 && i <= Size);
        return v_[static_cast<std::size_t>(i - 1)];
    }
    void fill(const T& value) { v_.fill(value); }

    bool operator==(const Array1&) const = default;

private:
    std::array<T, static_cast<std::size_t>(Size)> v_{};
};

// R(i, j, k), indexed from 1 in every dimension.
template <typename T, int N1, int N2, int N3> class Array3 {
public:
    T& operator()(int i, int j, int k) {
        assert(i >= 1 && i <= N1 && j >= 1 && j <= N2 && k >= 1 && k <= N3);
        return v_[index(i, j, k)];
    }
    const T& operator()(int i, int j, int k) const {
        assert(i >= 1 && i <= N1 && j >= 1 && j <= N2 && k >= 1 && k <= N3);
        return v_[index(i, j, k)];
    }

private:
    static std::size_t index(int i, int j, int k) {
        return (static_cast<std::size_t>(k - 1) * N2 + static_cast<std::size_t>(j - 1)) * N1 +
               static_cast<std::size_t>(i - 1);
    }
    std::array<T, static_cast<std::size_t>(N1) * N2 * N3> v_{};
};

// A text field of exactly Width characters: longer text is cut, shorter text blank padded.
template <int Width> class FixedText {
public:
    FixedText() { c_.fill(' '); }
    explicit FixedText(std::string_view s) { assign(s); }

    void assign(std::string_view s) {
        c_.fill(' ');
        std::copy_n(s.begin(), std::min<std::size_t>(s.size(), Width), c_.begin());
    }
    FixedText& operator=(std::string_view s) {
        assign(s);
        return *this;
    }

    static constexpr int width() { return Width; }
    std::string_view view() const { return {c_.data(), c_.size()}; }
    std::string str() const { return std::string(view()); }
    bool operator==(const FixedText&) const = default;

private:
    std::array<char, static_cast<std::size_t>(Width)> c_;
};

} // namespace zenka
