#pragma once
// TPersistent: objects that can copy themselves from another object (Assign) and that forms can
// stream, including custom properties a class defines for itself (DefineProperties).

#include <string>

#include "platform/classes/events.h"
#include "platform/classes/object.h"

class TFiler;

class TPersistent : public TObject {
  KORCAM_CLASS(TPersistent, TObject)

 public:
  TPersistent() = default;
  // Copies Source into this object. The default asks Source to copy itself here (AssignTo) and
  // raises EConvertError "Cannot assign a <source> to a <this>" when neither side knows how.
  virtual void Assign(TPersistent* Source);
  // The object's path for messages: "Form1.Button1.Font".
  virtual std::string GetNamePath() const;
  // The object that owns this one in a form's object tree (a collection for its items, a
  // component for its collections); nullptr at the top.
  virtual TPersistent* GetOwner() const { return nullptr; }
  // Lets a class stream data that is not a published property (binary region data, tree nodes).
  // The form reader and writer call it with their filer.
  virtual void DefineProperties(TFiler* Filer) {}

 protected:
  // Copies this object into Dest; the default raises the assign error.
  virtual void AssignTo(TPersistent* Dest);
  [[noreturn]] void AssignError(TPersistent* Source);
};
