#pragma once
// CDialogBuilder: builds a control tree from an XML layout.
//   <Window size="800,572" caption="0,0,0,40" roundcorner="4,4" ...>
//     <Font id="0" name="Noto Sans" size="12" bold="false" default="true"/>
//     <Default name="Button" value="textcolor=&quot;#FF000000&quot;"/>
//     <Style name="listex_item_style" value="height=&quot;25&quot;"/>
//     <VerticalLayout name="root"> ... </VerticalLayout>
//   </Window>
// A layout without <Window> may start with a control element directly.
// <Include source="file.xml" count="1"/> builds another file in place.
// Element classes: the built-in ones (Control, Container, VerticalLayout,
// HorizontalLayout, TabLayout, Label, Text, Button, Option, CheckBox, Edit,
// Combo, ListLabelElement, ListTextElement, ListContainerElement, List,
// ListEx, ListHeader, ListHeaderItem, Slider, Progress, ColorPalette, Menu,
// MenuElement); any other name is asked of the callback first, then of
// CControlFactory; still unknown → skipped with a debug line.
// Malformed XML (or a missing file) gives null and a debug line.
// UI thread only.

#include <string>
#include <string_view>

#include "ui/core/control.h"

namespace trx::ui {

class CPaintManagerUI;

class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  // Creates a control for an element class the library does not know;
  // null when the callback does not know it either.
  virtual CControlUI* CreateControl(std::string_view className) = 0;
};

class CDialogBuilder {
 public:
  // xml: XML text (starts with '<'), a key of the resource index ("XML_MAIN")
  // or a file name relative to the resource path. type is accepted for the
  // library's signature (only loose files exist). manager receives the
  // <Window> attributes and fonts and is attached to the tree (may be null);
  // parent (a container) receives the built controls when given.
  // Returns the root control (owned by the caller / parent) or null.
  CControlUI* Create(std::string_view xml, std::string_view type = {},
                     IDialogBuilderCallback* callback = nullptr,
                     CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
  // The last error text ("" after success).
  const std::string& GetLastErrorMessage() const { return lastError_; }

 private:
  std::string lastError_;
};

}  // namespace trx::ui
