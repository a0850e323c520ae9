#include "kvcontrols/editors/kvintlcaptions.h"

#include <variant>

KORCAM_REGISTER_CLASS(TkvADOIntl)
KORCAM_REGISTER_CLASS(TkvDBNavigatorIntlHints)
KORCAM_REGISTER_CLASS(TkvDBNavigatorIntl)
KORCAM_REGISTER_CLASS(TkvSearchDialogIntl)
KORCAM_REGISTER_CLASS(TkvLocateDialogIntl)
KORCAM_REGISTER_CLASS(TkvMonthCalendarIntl)
KORCAM_REGISTER_CLASS(TkvFilterDialogIntl)
KORCAM_REGISTER_CLASS(TkvRichEditMenuLabels)
KORCAM_REGISTER_CLASS(TkvRichEditPopupMenuLabels)
KORCAM_REGISTER_CLASS(TkvRichEditParagraphDlg)
KORCAM_REGISTER_CLASS(TkvRichEditTabDlg)
KORCAM_REGISTER_CLASS(TkvDBRichEditIntl)
KORCAM_REGISTER_CLASS(TkvUserMessagesIntl)

namespace {

// Copies every published value of Source into Dest, an object of the same class: plain values
// through their writers, owned groups by their own Assign.
void CopyPublishedValues(TPersistent& Dest, const TPersistent& Source) {
  for (const TPropertyInfo* Info : Source.ClassType().PropertyList()) {
    if (Info->Kind == TTypeKind::Method || !Info->Get) continue;
    if (Info->Owned) {
      const TValue From = Info->Get(Source);
      const TValue To = Info->Get(Dest);
      auto* const* FromObject = std::get_if<TObject*>(&From);
      auto* const* ToObject = std::get_if<TObject*>(&To);
      auto* FromGroup = FromObject ? dynamic_cast<TPersistent*>(*FromObject) : nullptr;
      auto* ToGroup = ToObject ? dynamic_cast<TPersistent*>(*ToObject) : nullptr;
      if (FromGroup && ToGroup) ToGroup->Assign(FromGroup);
    } else if (Info->Set) {
      Info->Set(Dest, Info->Get(Source));
    }
  }
}

// Assign for a caption group: copies from a group of the same class, otherwise falls back to
// the inherited rules (which raise the class library's assign error).
template <class TGroup>
bool AssignSameGroup(TGroup& Dest, TPersistent* Source) {
  auto* Group = dynamic_cast<TGroup*>(Source);
  if (!Group) return false;
  if (Group != &Dest) CopyPublishedValues(Dest, *Group);
  return true;
}

}  // namespace

TkvDBNavigatorIntl::TkvDBNavigatorIntl() : FHints(std::make_unique<TkvDBNavigatorIntlHints>()) {}

void TkvDBNavigatorIntl::SetHints(TkvDBNavigatorIntlHints* Value) { FHints->Assign(Value); }

TkvDBRichEditIntl::TkvDBRichEditIntl()
    : FMenuLabels(std::make_unique<TkvRichEditMenuLabels>()),
      FPopupMenuLabels(std::make_unique<TkvRichEditPopupMenuLabels>()),
      FParagraphDialog(std::make_unique<TkvRichEditParagraphDlg>()),
      FTabDialog(std::make_unique<TkvRichEditTabDlg>()) {}

void TkvDBRichEditIntl::SetMenuLabels(TkvRichEditMenuLabels* Value) { FMenuLabels->Assign(Value); }
void TkvDBRichEditIntl::SetPopupMenuLabels(TkvRichEditPopupMenuLabels* Value) { FPopupMenuLabels->Assign(Value); }
void TkvDBRichEditIntl::SetParagraphDialog(TkvRichEditParagraphDlg* Value) { FParagraphDialog->Assign(Value); }
void TkvDBRichEditIntl::SetTabDialog(TkvRichEditTabDlg* Value) { FTabDialog->Assign(Value); }

void TkvADOIntl::Assign(TPersistent* Source) {
  if (!AssignSameGroup(*this, Source)) inherited::Assign(Source);
}

void TkvDBNavigatorIntlHints::Assign(TPersistent* Source) {
  if (!AssignSameGroup(*this, Source)) inherited::Assign(Source);
}

void TkvDBNavigatorIntl::Assign(TPersistent* Source) {
  if (!AssignSameGroup(*this, Source)) inherited::Assign(Source);
}

void TkvSearchDialogIntl::Assign(TPersistent* Source) {
  if (!AssignSameGroup(*this, Source)) inherited::Assign(Source);
}

void TkvLocateDialogIntl::Assign(TPersistent* Source) {
  if (!AssignSameGroup(*this, Source)) inherited::Assign(Source);
}

void TkvMonthCalendarIntl::Assign(TPersistent* Source) {
  if (!AssignSameGroup(*this, Source)) inherited::Assign(Source);
}

void TkvFilterDialogIntl::Assign(TPersistent* Source) {
  if (!AssignSameGroup(*this, Source)) inherited::Assign(Source);
}

void TkvRichEditMenuLabels::Assign(TPersistent* Source) {
  if (!AssignSameGroup(*this, Source)) inherited::Assign(Source);
}

void TkvRichEditPopupMenuLabels::Assign(TPersistent* Source) {
  if (!AssignSameGroup(*this, Source)) inherited::Assign(Source);
}

void TkvRichEditParagraphDlg::Assign(TPersistent* Source) {
  if (!AssignSameGroup(*this, Source)) inherited::Assign(Source);
}

void TkvRichEditTabDlg::Assign(TPersistent* Source) {
  if (!AssignSameGroup(*this, Source)) inherited::Assign(Source);
}

void TkvDBRichEditIntl::Assign(TPersistent* Source) {
  if (!AssignSameGroup(*this, Source)) inherited::Assign(Source);
}

void TkvUserMessagesIntl::Assign(TPersistent* Source) {
  if (!AssignSameGroup(*this, Source)) inherited::Assign(Source);
}
