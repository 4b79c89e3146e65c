#include "support/constants.h"

CTime g_startTime;

const ProgramConstants g_programConstants = {
    kProductName,
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    100,
    1.0 / 3.0,
    264.0,
    1,
    3,
    {u"Unbroken", u"Small dash", u"Dot/dash", u"Large dash", u"Dots", u"Close dots"},
    {u"Start | End | Any other", u"Centre | Start | End", u"Start | End", u"Centre | Start"},
    {u"Parallel", u"Horizontal", u"Vertical"},
    {u"Normal", u"Arrows", u"Dashes", u"Lines", u"None"},
    {u"Line angle", u"Horizontal"},
    {u"In line", u"Outside", u"Inside"},
    {u"Solid colour", u"Hatch", u"Colour blend", u"Image"},
    {u"Vertical", u"Horizontal", u"Automatic"},
    {u"mm", u"cm", u"m", u"km", u"Preference"},
    kLimitX,
    kLimitY,
    {100000, 50000, 20000, 10000, 5000, 2000, 1000, 500, 200, 100, 50, 20, 10},
    {1, 2, 5, 10, 20, 50, 100},
    62,
    {u"New line", u"Line",   u"Arc",     u"Circle", u"Ellipse", u"Curve",   u"Fill",
     u"Text",     u"Shape",  u"Dimension", u"Corner", u"Insert", u"Hunt",    u"Grid",
     u"Move",     u"Copy",   u"Rotate",  u"Reflect", u"Enlarge", u"Stretch", u"Object",
     u"Delete",   u"Modify", u"Values",  u"Colour", u"Break",   u"Extend",  u"Origin"},
};
