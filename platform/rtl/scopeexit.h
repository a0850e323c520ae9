#pragma once
// Runs a clean-up when a scope ends, on every way out (return or exception): a turned font, a
// canvas lock, a busy flag, a saved value put back.

#include <utility>

template <class TAction>
class TScopeExit {
 public:
  explicit TScopeExit(TAction Action) : FAction(std::move(Action)) {}
  ~TScopeExit() { FAction(); }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

 private:
  TAction FAction;
};
