#pragma once
// A point in time as the class library keeps it: whole days since 1899-12-30, with the time of day
// as the fraction. Before that date the whole part is negative and the fraction still counts
// forward from midnight, carrying the whole part's sign (-1.25 is 1899-12-29 06:00).
using TDateTime = double;
