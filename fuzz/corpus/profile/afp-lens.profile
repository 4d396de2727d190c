settings 9600,E,8,1
protocol afp
F850: 30 00
F712: 01 00
FDFC: 0C
FDFB: 03
F71E: 00 00
