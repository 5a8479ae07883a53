#pragma once
// What each device command carries: the parameter's name (the command's name without Read or
// Write) and the form of its data bytes, so that a listener of the link can say in words what
// was sent ("SP1Wert", 0x01 0xF4: 500).

#include <cstdint>

enum class ValueForm {
    Flag,            // one byte, bit 0 counts
    Code,            // one byte, a code (decimal point, last digit)
    Signed,          // two bytes, high first, a signed 16-bit number
    Unsigned,        // two bytes, high first, an unsigned 16-bit number
    Text,            // three characters in the Windows code page
    Time,            // hours, minutes in BCD
    DayAndWeekday,   // day in BCD, weekday 0 Monday .. 6 Sunday
    MonthAndYear,    // month, year in BCD
    SecondsAndCycle,  // seconds in BCD, cycle value 0..255
    None,            // no value (ResetQtv, ClearBFlag, reads of live values)
};

struct QtvParameter {
    std::uint8_t readCode;  // the code without bit 7
    const char* name;      // "SP1Wert"
    ValueForm form;
};

// The parameter of a read or write code, or null for a code no station knows.
const QtvParameter* FindQtvParameter(std::uint8_t code);
