// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// 1-based arrays: every table of the program is indexed from 1, so code reads like the
// rules it implements (`DirPaths(DirCount)`), and an index of 0 is a bug caught by the assert.
#include <QtGlobal>
#include <array>
#include <vector>

template <class T> class Array1 {
public:
    Array1() = default;
    explicit Array1(int n) : v_(n) {}
    Array1(std::initializer_list<T> init) : v_(init) {}
    // ReDim: the contents are discarded.
    void redim(int n) { v_.assign(static_cast<size_t>(n < 0 ? 0 : n), T{}); }
    // ReDim Preserve: the contents up to the new size stay.
    void redim_preserve(int n) { v_.resize(static_cast<size_t>(n < 0 ? 0 : n)); }
    int size() const { return static_cast<int>(v_.size()); }
    T& operator()(int i) {
        Q_ASSERT(i >= 1 && i <= size());
        return v_[static_cast<size_t>(i - 1)];
    }
    const T& operator()(int i) const {
        Q_ASSERT(i >= 1 && i <= size());
        return v_[static_cast<size_t>(i - 1)];
    }
    T* data() { return v_.data(); }
    const T* data() const { return v_.data(); }
    auto begin() { return v_.begin(); }
    auto end() { return v_.end(); }
    auto begin() const { return v_.begin(); }
    auto end() const { return v_.end(); }
    bool operator==(const Array1&) const = default;

private:
    std::vector<T> v_;
};

template <class T, int N> class Fixed1 {
public:
    Fixed1() : v_{} {}
    Fixed1(std::initializer_list<T> init) : v_{} {
        int i = 0;
        for (const T& x : init)
            if (i < N) v_[static_cast<size_t>(i++)] = x;
    }
    static constexpr int size() { return N; }
    T& operator()(int i) {
        Q_ASSERT(i >= 1 && i <= N);
        return v_[static_cast<size_t>(i - 1)];
    }
    const T& operator()(int i) const {
        Q_ASSERT(i >= 1 && i <= N);
        return v_[static_cast<size_t>(i - 1)];
    }
    bool operator==(const Fixed1&) const = default;

private:
    std::array<T, N> v_;
};

template <class T, int Rows, int Cols> class Fixed2 {
public:
    Fixed2() : v_{} {}
    T& operator()(int r, int c) {
        Q_ASSERT(r >= 1 && r <= Rows && c >= 1 && c <= Cols);
        return v_[static_cast<size_t>((r - 1) * Cols + (c - 1))];
    }
    const T& operator()(int r, int c) const {
        Q_ASSERT(r >= 1 && r <= Rows && c >= 1 && c <= Cols);
        return v_[static_cast<size_t>((r - 1) * Cols + (c - 1))];
    }
    bool operator==(const Fixed2&) const = default;

private:
    std::array<T, static_cast<size_t>(Rows * Cols)> v_;
};

// A table with a dynamic number of rows and a fixed number of columns (HeaderTable).
template <class T, int Cols> class Table2 {
public:
    void redim(int rows) {
        rows_ = rows < 0 ? 0 : rows;
        v_.assign(static_cast<size_t>(rows_) * Cols, T{});
    }
    int rows() const { return rows_; }
    static constexpr int cols() { return Cols; }
    T& operator()(int r, int c) {
        Q_ASSERT(r >= 1 && r <= rows_ && c >= 1 && c <= Cols);
        return v_[static_cast<size_t>((r - 1) * Cols + (c - 1))];
    }
    const T& operator()(int r, int c) const {
        Q_ASSERT(r >= 1 && r <= rows_ && c >= 1 && c <= Cols);
        return v_[static_cast<size_t>((r - 1) * Cols + (c - 1))];
    }

private:
    int rows_ = 0;
    std::vector<T> v_;
};
