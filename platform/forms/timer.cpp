#include "platform/forms/timer.h"

#include <unordered_map>

#include "platform/forms/application.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TTimer)

void TimerTick(UINT_PTR Id);

namespace {

std::unordered_map<UINT_PTR, TTimer*>& TimerTable() {
  static std::unordered_map<UINT_PTR, TTimer*> Table;
  return Table;
}

void TimerProcedure(HWND, UINT, UINT_PTR Id, DWORD) {
  TimerTick(Id);
}

}  // namespace

void TimerTick(UINT_PTR Id) {
  auto& Table = TimerTable();
  auto Where = Table.find(Id);
  if (Where == Table.end()) return;
  TTimer* Timer = Where->second;
  TObjectProtector Guard(Timer);
  try {
    Timer->Timer();
  } catch (...) {
    if (Application) Application->HandleException(Timer);
  }
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  UpdateTimer();
}

TTimer::~TTimer() {
  KillSystemTimer();
}

void TTimer::BeforeDestruction() {
  KillSystemTimer();
  TComponent::BeforeDestruction();
}

void TTimer::KillSystemTimer() {
  if (!FTimerId) return;
  KillTimer(nullptr, FTimerId);
  TimerTable().erase(FTimerId);
  FTimerId = 0;
}

void TTimer::UpdateTimer() {
  KillSystemTimer();
  if (!FEnabled || FInterval == 0 || ComponentState().Contains(csLoading)) return;
  FTimerId = SetTimer(nullptr, 0, FInterval, TimerProcedure);
  if (!FTimerId) throw EOutOfResources("Not enough timers available");
  TimerTable()[FTimerId] = this;
}

void TTimer::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(uint32_t Value) {
  if (FInterval == Value) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& Value) {
  OnTimer = Value;
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::Timer() {
  if (OnTimer) OnTimer(this);
}
