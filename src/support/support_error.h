#pragma once

// How a support request failed, and what the user is told about it. Every
// text promises that the user's words are kept: the caller must keep them.

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace kd {

struct SupportError {
    enum class Kind { server, network, notConfigured, gone };

    Kind kind = Kind::network;
    int status = 0;                   // server
    std::optional<std::string> code;  // server: the service's "error"
    std::string detail;               // network: never shown

    static SupportError server(int status, std::optional<std::string> code) {
        return {Kind::server, status, std::move(code), {}};
    }
    static SupportError network(std::string detail) {
        return {Kind::network, 0, std::nullopt, std::move(detail)};
    }
    static SupportError notConfigured() { return {Kind::notConfigured, 0, std::nullopt, {}}; }
    static SupportError gone() { return {Kind::gone, 0, std::nullopt, {}}; }

    friend bool operator==(const SupportError&, const SupportError&) = default;
};

// The text the user sees for `error`.
std::string describe(const SupportError& error);

// What a support operation hands back: its value or why there is none.
template <class T>
class SupportResult {
  public:
    SupportResult(T value) : outcome_(std::move(value)) {}
    SupportResult(SupportError error) : outcome_(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(outcome_); }
    const T& value() const { return std::get<T>(outcome_); }
    const SupportError& error() const { return std::get<SupportError>(outcome_); }

  private:
    std::variant<T, SupportError> outcome_;
};

// The value of an operation that answers nothing but success.
struct SupportDone {
    friend bool operator==(SupportDone, SupportDone) = default;
};

}  // namespace kd
