#pragma once

#include <utility>

namespace kxp40s {

// State set for a while and put back on every way out, an exception's too:
// a flag raised for one command, the texts converted for one transfer.
template <class Undo>
class OnScopeExit {
  public:
    explicit OnScopeExit(Undo undo) : undo_(std::move(undo)) {}
    OnScopeExit(const OnScopeExit&) = delete;
    OnScopeExit& operator=(const OnScopeExit&) = delete;
    ~OnScopeExit() { undo_(); }

  private:
    Undo undo_;
};

// `variable` holds `value` until the scope ends, then what it held before.
template <class T>
class ScopedValue {
  public:
    ScopedValue(T& variable, T value) : variable_(variable), old_(std::exchange(variable, value)) {}
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;
    ~ScopedValue() { variable_ = std::move(old_); }

  private:
    T& variable_;
    T old_;
};

}  // namespace kxp40s
