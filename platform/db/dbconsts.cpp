#include "platform/db/dbconsts.h"

#include "platform/classes/component.h"

std::string DBFormat(const char* Pattern, std::initializer_list<std::string> Arguments) {
  std::string Result;
  auto Next = Arguments.begin();
  for (const char* P = Pattern; *P; ++P) {
    if (P[0] == '%' && P[1] == 's' && Next != Arguments.end()) {
      Result += *Next++;
      ++P;
    } else {
      Result += *P;
    }
  }
  return Result;
}

void DatabaseError(const std::string& Message, const TComponent* Component) {
  if (Component && !Component->Name().empty()) throw EDatabaseError(Component->Name() + ": " + Message);
  throw EDatabaseError(Message);
}

void DatabaseErrorFmt(const char* Pattern, std::initializer_list<std::string> Arguments,
                      const TComponent* Component) {
  DatabaseError(DBFormat(Pattern, Arguments), Component);
}
