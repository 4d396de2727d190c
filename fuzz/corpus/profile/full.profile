settings 9600,N,8,1
protocol eap
0102: 5A 00 FF        # registers
FF0E: 3C
completion 20
restart 2000
factory 400
eeprom 1000 1400
refuse 2201 3
lens 4000
