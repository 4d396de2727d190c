lens 0FFF
protocol
0102: 5
