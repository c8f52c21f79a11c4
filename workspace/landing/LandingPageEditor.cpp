#include "workspace/landing/LandingPageEditor.h"

LandingPageEditor::~LandingPageEditor() = default;
