#include "layout/Form.h"

void MForm::Assign(const MControl& source) {
  MContainer::Assign(source);
  if (const MForm* form = As<MForm>(&source)) Grid.Assign(form->Grid);
}

MText* MForm::FindEditableText(double x, double y) {
  if (MText* text = MContainer::FindEditableText(x, y)) return text;
  return Grid.FindEditableText(x, y);
}

bool MForm::Contains(const MControl* element) const {
  return MContainer::Contains(element) || Grid.Contains(element);
}
