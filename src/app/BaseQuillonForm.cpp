#include "app/BaseQuillonForm.h"

namespace kvq {

TBaseQuillonForm::TBaseQuillonForm(TQuillonServices* services, const QString& componentName, QWidget* parent)
    : QWidget(parent), services_(services) {
  setObjectName(componentName);
}

TBaseQuillonForm::~TBaseQuillonForm() = default;

}  // namespace kvq
