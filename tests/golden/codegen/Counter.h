#ifndef COUNTER_H
#define COUNTER_H
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    //  Automatic generated C-code by the application:
    //     Tarvel Editor v1.4r3
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    // Methodology: Hierarchical Switch-case state. [v1.5r1]
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    
    
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    // FSM instance type.
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    typedef struct {
        T_u8  ind_Counter;
        T_u8  ind_1_Blink;
        T_bit entryFsmFlg        :1;
        T_bit entryFsmFlg_1      :1;
    } T_Counter;
    
    
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    // FSM function.
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    void Counter(T_Counter *this, int tick);
    
    // FSM instance reset function
    void Counter_Reset(T_Counter *this);
    
#endif
