#pragma once

#include <cassert>
#include <concepts>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace qel {

// Why an expected failure happened, as one line for the log or the user. It names the object
// and the operation, e.g. "keymap.ini: cannot write (Read-only file system)". Never empty.
struct Failure {
    std::string Message;
};

// A value, or the failure that stopped it. A normal state (a file that does not exist yet)
// belongs in T, not here.
template <typename T>
class [[nodiscard]] Result {
public:
    template <typename U = T>
    requires std::convertible_to<U&&, T> &&
        (!std::same_as<std::remove_cvref_t<U>, Failure>)Result(U&& value)
        : State(std::in_place_index<0>, std::forward<U>(value)) {}
    Result(Failure failure) : State(std::in_place_index<1>, std::move(failure)) {
        assert(!Error().empty() && "a failure says why");
    }

    [[nodiscard]] bool Ok() const { return State.index() == 0; }
    explicit operator bool() const { return Ok(); }

    // Only when Ok().
    [[nodiscard]] T& Value() & { return std::get<0>(State); }
    [[nodiscard]] const T& Value() const& { return std::get<0>(State); }
    [[nodiscard]] T&& Value() && { return std::get<0>(std::move(State)); }

    // Only when !Ok().
    [[nodiscard]] const std::string& Error() const { return std::get<1>(State).Message; }

private:
    std::variant<T, Failure> State;
};

// Success, or the failure of an operation that gives no value.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Failure failure) : Failed(std::move(failure)) {
        assert(!Error().empty() && "a failure says why");
    }

    [[nodiscard]] bool Ok() const { return !Failed.has_value(); }
    explicit operator bool() const { return Ok(); }

    // Only when !Ok().
    [[nodiscard]] const std::string& Error() const { return Failed.value().Message; }

private:
    std::optional<Failure> Failed;
};

}  // namespace qel
