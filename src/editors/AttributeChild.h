#pragma once

#include <QString>

#include <cstdint>

namespace vq {

// What VQPointAttributeEdit asks of whichever of its seven child editors it holds: the text and
// selection of text-like kinds, the enabled state and the text colour. A kind that lacks a part
// reads it as empty and refuses to have its selection written, so the control's silent handlers
// decide what a missing part means, and a misspelt member fails to compile.
class AttributeChild {
public:
    virtual QString Text() const { return {}; }
    virtual QString SelText() const { return {}; }
    virtual void SetSelText(const QString&) { refuseSelection(); }
    virtual int32_t SelStart() const { return 0; }
    virtual void SetSelStart(int32_t) { refuseSelection(); }
    virtual int32_t SelLength() const { return 0; }
    virtual void SetSelLength(int32_t) { refuseSelection(); }
    virtual void SetEnabled(bool enabled) = 0;
    virtual void SetForeColor(uint32_t) {}

protected:
    ~AttributeChild() = default;

private:
    [[noreturn]] static void refuseSelection();
};

}  // namespace vq
