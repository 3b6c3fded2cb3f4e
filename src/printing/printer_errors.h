// The page printer's exception family. EPrinter is what any printer failure raises;
// EPagePrinter reports misuse of the page printer (a change that would disturb an open
// document, a page number out of range, margins without room for text); ECancelPrinting is
// raised inside Print when the user pressed Cancel, and Print turns it into the result false.
#pragma once

#include <stdexcept>
#include <string>

namespace vt9 {

class EPrinter : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EPagePrinter : public EPrinter {
 public:
  using EPrinter::EPrinter;
};

class ECancelPrinting : public EPagePrinter {
 public:
  using EPagePrinter::EPagePrinter;
};

// A print-to-file target that cannot be created, written or closed.
class EInOutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vt9
