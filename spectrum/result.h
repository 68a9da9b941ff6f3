// A value or the Error that prevented it: what the readers and the
// calibration fit return. Bad input never throws out of the spectrum core.
#pragma once

#include "spectrum.h"

#include <utility>
#include <variant>

namespace spectrum {

template <class T>
class Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Error error) : state_(std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only when ok().
    T &value() & { return std::get<0>(state_); }
    const T &value() const & { return std::get<0>(state_); }
    T &&value() && { return std::get<0>(std::move(state_)); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }

    // Only when !ok().
    const Error &error() const { return std::get<1>(state_); }

private:
    std::variant<T, Error> state_;
};

} // namespace spectrum
