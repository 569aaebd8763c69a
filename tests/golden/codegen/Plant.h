#ifndef PLANT_H
#define PLANT_H
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    //  Automatic generated C-code by the application:
    //     Tarvel Editor v1.4r3
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    // Methodology: Hierarchical Switch-case state. [v1.5r1]
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    // Module header proposed by the user (Start).
    // - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
    // Plant controller for the generator tests.
    // Comment marks / * and * / are neutralised.
    // - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
    // Module header proposed by the user (End).
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    
    
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    // FSM function.
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    // Dispatcher of the plant: cmd is the operator's command.
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    int Plant(int cmd);
    
    // Force the FSM to the initial state.
    void Plant_Init(void);
    
    // Confirm that the FSM has reached a final state.
    T_u8 Plant_End(void);
    
    // Confirm that the FSM has reached the state:[IDLE].
    T_u8 Plant_IsIn_IDLE(void);
    
    // Confirm that the FSM has reached the state:[RUN].
    T_u8 Plant_IsIn_RUN(void);
    
    // Force the FSM to the state:[IDLE].
    void Plant_Goto_IDLE(void);
    
    
    // [Child: Pump]
    
    // [Child: Seal]
    
    // [Child: Valve]
#endif
