// The program's three windows, created once by main in this order: Monitor, Settings, Tank table.
// Each window reaches the others through these pointers, as the handlers need them.
#pragma once

class Form1;  // Monitor window (Unit1)
class Form3;  // Settings window (Unit3)
class Form2;  // Tank table window (Unit2)

extern Form1* form1;
extern Form3* form3;
extern Form2* form2;
