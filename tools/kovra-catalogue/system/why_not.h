// Why something was not done, the one way kovra-catalogue's parts say so: a
// line of text for the user, empty when it was done. A function that can only
// succeed or fail returns one; one with more outcomes returns its outcome and
// fills one. The system calls below keep the system's own errno, which the part
// that calls them turns into a WhyNot.
#pragma once

#include <string>
#include <utility>

class WhyNot {
  public:
    WhyNot() = default;  // it was done
    WhyNot(std::string reason) : reason_(std::move(reason)) {}
    WhyNot(const char* reason) : reason_(reason != nullptr ? reason : "") {}  // null: done

    // True when there is a reason: it was not done.
    explicit operator bool() const { return !reason_.empty(); }
    const std::string& Text() const { return reason_; }

  private:
    std::string reason_;
};
