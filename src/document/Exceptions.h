#pragma once

#include <stdexcept>
#include <string>

namespace tessel {

// Every error the program raises carries a message meant for the user.
class ETesselError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reading or writing a component stream failed.
class EStreamError : public ETesselError {
  public:
    using ETesselError::ETesselError;
};

// An index outside a list's bounds: "List index out of bounds (%d)".
class EListError : public ETesselError {
  public:
    explicit EListError(long long index)
        : ETesselError("List index out of bounds (" + std::to_string(index) + ")") {}
};

// A text could not be turned into a number or colour.
class EConvertError : public ETesselError {
  public:
    using ETesselError::ETesselError;
};

}  // namespace tessel
