#include "layout/Form.h"

void MForm::Assign(const MControl& source) {
  MContainer::Assign(source);
  if (const MForm* form = As<MForm>(&source)) Grid.Assign(form->Grid);
}
