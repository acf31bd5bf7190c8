#pragma once

// The factory library files, embedded at build time in registry order.
namespace FactoryData
{
struct Entry
{
    const char* fileName; // relative to resources/factory, e.g. "sounds/KICK_Click.tvs"
    const char* data;
    int size;
};

extern const Entry entries[];
extern const int count;
} // namespace FactoryData
