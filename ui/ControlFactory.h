#pragma once
// The process-wide map from layout tag to control class.
#include <string>

class UIControl;

// Makes a new control (one reference, owned by the caller) or null.
using UIControlCreator = UIControl* (*)();

// Fills the factory with every control class of the system if it is empty;
// later calls do nothing.
void RegisterControlFactory();
// Adds a tag or replaces its class (after RegisterControlFactory): controls
// of a product's own, or of a test.
void RegisterControlClass(const std::wstring& tag, UIControlCreator create);
// The creation function of a tag (case-sensitive), or null.
UIControlCreator FindControlCreator(const std::wstring& tag);
