#pragma once
// The exception kinds of the class library. Every failure the system raises is an Exception with
// a Message; a handler that catches a kind by its class catches its descendants too, as the
// library's callers expect (EFOpenError is caught as EStreamError, for one).

#include <exception>
#include <string>

class Exception : public std::exception {
 public:
  explicit Exception(std::string Message) : FMessage(std::move(Message)) {}
  const std::string& Message() const { return FMessage; }
  void SetMessage(std::string Value) { FMessage = std::move(Value); }
  const char* what() const noexcept override { return FMessage.c_str(); }
  // The kind's class name ("EConvertError"), for log lines and the exception display.
  virtual const char* ClassName() const { return "Exception"; }

 private:
  std::string FMessage;
};

#define KORCAM_EXCEPTION(Name, Parent)                                \
  class Name : public Parent {                                        \
   public:                                                            \
    using Parent::Parent;                                             \
    const char* ClassName() const override { return #Name; }          \
  }

// A silent exception: it unwinds to the message loop without a message.
KORCAM_EXCEPTION(EAbort, Exception);
KORCAM_EXCEPTION(EConvertError, Exception);
KORCAM_EXCEPTION(EInvalidOperation, Exception);
KORCAM_EXCEPTION(EInvalidCast, Exception);
KORCAM_EXCEPTION(EInvalidPointer, Exception);
KORCAM_EXCEPTION(EInvalidArgument, Exception);
KORCAM_EXCEPTION(EOutOfResources, Exception);
KORCAM_EXCEPTION(EIntError, Exception);
KORCAM_EXCEPTION(ERangeError, EIntError);
KORCAM_EXCEPTION(EDivByZero, EIntError);
KORCAM_EXCEPTION(EMathError, Exception);
KORCAM_EXCEPTION(EZeroDivide, EMathError);
KORCAM_EXCEPTION(EOverflow, EMathError);
KORCAM_EXCEPTION(EInOutError, Exception);
KORCAM_EXCEPTION(EListError, Exception);
KORCAM_EXCEPTION(EStringListError, Exception);
KORCAM_EXCEPTION(EStreamError, Exception);
KORCAM_EXCEPTION(EFileStreamError, EStreamError);
KORCAM_EXCEPTION(EFCreateError, EFileStreamError);
KORCAM_EXCEPTION(EFOpenError, EFileStreamError);
KORCAM_EXCEPTION(EReadError, EStreamError);
KORCAM_EXCEPTION(EWriteError, EStreamError);
KORCAM_EXCEPTION(EFilerError, EStreamError);
KORCAM_EXCEPTION(EClassNotFound, EFilerError);
KORCAM_EXCEPTION(EPropertyError, Exception);
KORCAM_EXCEPTION(EComponentError, Exception);
KORCAM_EXCEPTION(EInvalidGraphic, Exception);
KORCAM_EXCEPTION(EInvalidGraphicOperation, Exception);
KORCAM_EXCEPTION(ERegistryException, Exception);
KORCAM_EXCEPTION(EIniFileException, Exception);
KORCAM_EXCEPTION(EDatabaseError, Exception);
KORCAM_EXCEPTION(EOSError, Exception);
KORCAM_EXCEPTION(EParserError, Exception);
