#include "ui/forms.h"

Form1* form1 = nullptr;
Form3* form3 = nullptr;
Form2* form2 = nullptr;
