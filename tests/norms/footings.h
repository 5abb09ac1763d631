#pragma once

// A small norm base as the published files lay it out: two collections, nested sections, name
// groups, every kind of resource line, «П», «ё», references to the overhead and profit norms (one
// the tables lack). The norm tests, the norm window's tests and the end-to-end scenario import it.
inline constexpr char kFootingsBase[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<base BaseName="ФСНБ-2022" PriceLevel="01.01.2022">
 <ResourcesDirectory>
  <ResourceCategory Type="СТРОИТЕЛЬНЫЕ РАБОТЫ" CodePrefix="ГЭСН">
   <Section Name="Бетонные и железобетонные конструкции монолитные" Type="Сборник" Code="06">
    <Section Name="Бетонные конструкции" Type="Раздел" Code="1">
     <Section Name="Фундаменты" Type="Таблица" Code="06-01-001">
      <NameGroup BeginName="Устройство бетонных фундаментов общего назначения объемом:">
       <Work Code="06-01-001-02" EndName="до 5 м3" MeasureUnit="100 м3">
        <Content><Item Text="Установка опалубки."/><Item Text="Укладка бетона."/></Content>
        <Resources>
         <Resource Code="1-100-30" EndName="Средний разряд работы 3,0" Quantity="180"/>
         <Resource Code="2" Quantity="0.5"/>
         <Resource Code="91.14.02-001" EndName="Автомобили бортовые" Quantity="1.2"/>
         <Resource Code="01.7.15.06-0111" EndName="Гвозди строительные" MeasureUnit="т" Quantity="0.005"/>
         <AbstractResource Code="04.1.02.05" Name="Смеси бетонные" MeasureUnit="м3" Quantity="П" TechnologyGroups="04.1.02.05.01"/>
        </Resources>
        <NrSp><ReasonItem Nr="Пр/812-006.0" Sp="Пр/774-006.0"/></NrSp>
       </Work>
       <Work Code="06-01-001-01" EndName="до 3 м3" MeasureUnit="100 м3"/>
      </NameGroup>
     </Section>
     <Section Name="Подготовка" Type="Таблица" Code="06-01-002">
      <Work Code="06-01-002-01" EndName="Устройство щебёночной подготовки под фундаменты" MeasureUnit="1 м3"/>
      <Work Code="06-01-002-02" EndName="Устройство щебеночной подготовки под полы" MeasureUnit="1 м3"/>
      <Work Code="06-01-002-03" EndName="Бетонирование полов" MeasureUnit="100 м2"/>
     </Section>
    </Section>
   </Section>
  </ResourceCategory>
  <ResourceCategory Type="РЕМОНТНО-СТРОИТЕЛЬНЫЕ РАБОТЫ" CodePrefix="ГЭСНр">
   <Section Name="Земляные работы" Type="Сборник" Code="51">
    <Work Code="06-01-001-09" EndName="Разборка бетонных фундаментов" MeasureUnit="1 м3">
     <NrSp><ReasonItem Nr="Пр/812-999.0" Sp="Пр/774-085.1"/></NrSp>
    </Work>
   </Section>
  </ResourceCategory>
 </ResourcesDirectory>
</base>
)";
